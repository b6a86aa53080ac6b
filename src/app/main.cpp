#include "editorwindow.h"
#include "tavoapplication.h"

int main(int argc, char *argv[])
{
    TavoApplication app(argc, argv);
    TForm1 form1;
    form1.show();
    return app.exec();
}
