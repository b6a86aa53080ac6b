#include "chartablewindow.h"
#include "editorwindow.h"
#include "fileerror.h"
#include "tavoapplication.h"

int main(int argc, char *argv[])
{
    InitFileWriting();
    TavoApplication app(argc, argv);
    TForm1 form1;
    // The character table is created hidden once and reused for every key edit; as the
    // editor's child it stays above the editor and goes with it.
    auto *form2 = new TForm2(&form1);
    form1.setCharTable(form2);
    form1.show();
    return app.exec();
}
