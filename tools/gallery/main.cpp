// velmora-gallery: every toolkit component on one form, on the X display,
// with a dialog owned by it ("Открыть" shows it). Closing the main form ends
// the program, also while the dialog is open.
//
//   velmora-gallery [--display NAME] [--dialog]
//     --dialog  show the dialog at start as well
#include <cstdio>
#include <cstring>
#include <exception>

#include "platform/host/x11/X11Host.h"
#include "platform/win/WinApi.h"
#include "toolkit/Application.h"
#include "toolkit/Picture.h"
#include "tools/gallery/GalleryForm.h"

using namespace vm;

int main(int argc, char** argv) {
  const char* display = nullptr;
  bool dialog = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--display") == 0 && i + 1 < argc) {
      display = argv[++i];
    } else if (std::strcmp(argv[i], "--dialog") == 0) {
      dialog = true;
    } else {
      std::fprintf(stderr, "usage: velmora-gallery [--display NAME] [--dialog]\n");
      return 2;
    }
  }
  try {
    TX11Host host(display);
    SetHost(&host);
    int status = 0;
    {
      // "Открыть рисунок..." opens JPEG files as well as bitmaps.
      tk::RegisterJpegFileFormats();
      TApplication app;
      app.SetTitle("Галерея");
      gallery::TGalleryForm* main = nullptr;
      gallery::TGalleryDialog* about = nullptr;
      app.CreateForm(main);
      app.CreateForm(about);
      main->SetPosition(poScreenCenter);
      main->BitBtn2->OnClick = [about](TComponent*) { about->Show(); };
      if (dialog) main->OnShow = [about](TComponent*) { about->Show(); };
      app.Run();
    }
    SetHost(nullptr);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-gallery: %s\n", e.what());
    return 1;
  }
}
