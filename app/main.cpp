#include <windows.h>

#include <string>
#include <vector>

#include "app/zev_form.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ui::TApplication& app = ui::Application();
    app.Initialize();
    app.SetTitle("zev : ディスク最新情報");
    std::vector<std::string> args(__argv + (__argc > 0 ? 1 : 0), __argv + __argc);
    TForm1 form(std::move(args));
    form.Show();
    app.Run(form);
    return 0;
}
