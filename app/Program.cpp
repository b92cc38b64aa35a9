#include "app/Program.h"

#include <sys/utsname.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Compress.h"
#include "app/Glyphs.h"
#include "app/Info.h"
#include "app/Main.h"
#include "app/Resize.h"
#include "app/StoredGlyphs.h"
#include "platform/controls/DialogDefs.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/SkinConvertor.h"
#include "skin/frame/CaptionIcon.h"
#include "skin/frame/FrameHook.h"
#include "skin/frame/SkinProvider.h"
#include "skin/paint/pixels/PlatformFlags.h"
#include "skin/paint/pixels/SharedAccessors.h"
#include "skin/state/WindowAnnouncer.h"
#include "skin/subclass/AdapterKinds.h"
#include "skin/subclass/NxProvider.h"
#include "toolkit/Picture.h"

namespace vm::app {

namespace {

std::unique_ptr<tk::TIcon>& IconHolder() {
  static std::unique_ptr<tk::TIcon> icon;
  return icon;
}

// The window side of the skin manager: it delivers the manager's commands to
// the forms and keeps the hook through which every form gets its skinned
// frame when it is first activated. It exists before the main window creates
// the manager, so that the manager's first announcement reaches windows.
std::unique_ptr<TsWindowAnnouncer>& AnnouncerHolder() {
  static std::unique_ptr<TsWindowAnnouncer> announcer;
  return announcer;
}

}  // namespace

TBitmap StoredProgramIcon(int size) {
  const std::span<const std::uint8_t> data = StoredIconData(size);
  const std::size_t row = std::size_t(size) * 4;
  if (size <= 0 || data.size() != row * std::size_t(size)) return MakeProgramIconWithAlpha(size);
  TBitmap icon(size, size, TPixelFormat::pf32bit);
  for (int y = 0; y < size; ++y)
    std::memcpy(icon.ScanLine(y), data.data() + std::size_t(y) * row, row);
  return icon;
}

bool GetVersionEx(TOSVersionInfo& info) {
  if (info.dwOSVersionInfoSize != sizeof(TOSVersionInfo)) return false;
  // The window system this program runs on is the NT-like one of its own
  // platform layer; the numbers are those of the kernel underneath.
  info.dwPlatformId = VER_PLATFORM_WIN32_NT;
  utsname u{};
  if (uname(&u) == 0) {
    unsigned major = 0, minor = 0, build = 0;
    std::sscanf(u.release, "%u.%u.%u", &major, &minor, &build);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = build;
    std::snprintf(info.szCSDVersion, sizeof info.szCSDVersion, "%s", u.version);
  }
  return true;
}

void PrepareProcess() {
  // Loading a picture by file name picks the JPEG decoder for both extensions.
  tk::RegisterJpegFileFormats();

  // The file dialogs of this platform are the classic ones, which the skin
  // engine can paint; there is no newer style to switch off.

  TOSVersionInfo version;
  version.dwOSVersionInfoSize = sizeof version;
  IsNTFamily = GetVersionEx(version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;

  // A file-size limit makes a write fail with EFBIG, which a save reports,
  // instead of ending the program.
  signal(SIGXFSZ, SIG_IGN);

  // Warnings of the skin engine (a damaged container) reach the user in the
  // program's message box.
  SetSkinMessageFunc([](const std::string& text, const std::string& caption) {
    if (Application)
      Application->MessageBox(text, caption, MB_OK | MB_ICONWARNING);
    else
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  });

  // The skin engine's command message has its fixed number from the start.
  static_assert(SM_NIRVEXCMD == 0xA100);

  // There is no theming library on this platform to look a window-theme
  // entry up in; window subclassing works without one.

  // The four shared pixel accessors exist from here on.
  SharedFast24();
  SharedFast24Second();
  SharedFastSum24();
  SharedFast32();

  // The skin engine's window layers: forms get their frames from the
  // manager's hook, not from code in the forms.
  if (!AnnouncerHolder()) {
    AnnouncerHolder() = std::make_unique<TsWindowAnnouncer>();
    InstallFrameLayer(*AnnouncerHolder());
    // The open and save picture dialogs and the message boxes are the
    // platform's own windows: the dialog layer skins them.
    InstallDialogLayer(*AnnouncerHolder());
    // The main window's system menu offers the skin chooser (the stored skin,
    // the shipped skins and the user's); the dialogs keep the plain menu.
    auto activated = AnnouncerHolder()->OnFormActivated;
    AnnouncerHolder()->OnFormActivated = [activated](TsSkinManager& manager, TCustomForm* form) {
      if (activated) activated(manager, form);
      if (!form || form != frmMain) return;
      for (TsSkinProvider* provider : RuntimeProviders())
        if (provider->FrameForm() == form) provider->MakeSkinMenu = true;
    };
  }
  // The control adapter of every frame puts the push-button subclass on the
  // plain OK and Cancel buttons of the dialogs.
  static const bool subclassesRegistered = (RegisterAdapterSubclasses(), true);
  (void)subclassesRegistered;

  // The program's own icons, as drawn in code and stored (drawing them here
  // took a fifth of start-up).
  if (!IconHolder()) {
    auto icon = std::make_unique<tk::TIcon>();
    icon->SetImages(StoredProgramIcon(16), StoredProgramIcon(32));
    IconHolder() = std::move(icon);
  }
  // They are also the skin engine's default caption icon.
  EngineDefaultIcon().Assign(*IconHolder());
}

tk::TIcon& ProgramIcon() {
  if (!IconHolder()) IconHolder() = std::make_unique<tk::TIcon>();
  return *IconHolder();
}

std::unique_ptr<TApplication> CreateProgram() {
  auto app = std::make_unique<TApplication>();
  app->Initialize();
  // The application's own window stays hidden with an empty text: the
  // taskbar shows the main window alone.
  app->SetTitle(ProgramTitle);
  app->SetIcon(ProgramIcon());
  app->CreateForm(frmMain);
  app->CreateForm(frmInfo);
  app->CreateForm(frmResize);
  app->CreateForm(frmCompress);
  return app;
}

void FinishProcess() {
  SetSkinMessageFunc(nullptr);
  FreeDialogProviders();
  FreeRuntimeProviders();
  AnnouncerHolder().reset();
  IconHolder().reset();
  EngineDefaultIcon().SetImages(TBitmap(), TBitmap());
}

int VelmoraMain() {
  PrepareProcess();
  {
    std::unique_ptr<TApplication> app = CreateProgram();
    app->Run();
  }
  FinishProcess();
  return EXIT_SUCCESS;
}

}  // namespace vm::app
