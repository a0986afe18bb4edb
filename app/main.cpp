#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/zev_form.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ui::TApplication& app = ui::Application();
    app.Initialize();
    app.SetTitle("zev : ディスク最新情報");
    // Wide, so that a path the code page cannot hold still reaches its entry.
    std::vector<DiskPath> args;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back({ShownText(wide[i]), wide[i]});
        LocalFree(wide);
    }
    TForm1 form(std::move(args));
    form.Show();
    app.Run(form);
    return 0;
}
