#include "platform/ui/qt/QtFrontend.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/ui/Dispatch.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/qt/PanelWindow.h"
#include "platform/ui/qt/QtPopups.h"
#include "platform/ui/qt/QtPrinting.h"

namespace uiqt {
namespace {

using uimodel::Bitmap;
using uimodel::Control;
using uimodel::MenuBar;
using uimodel::Panel;

int signalPipe[2] = {-1, -1};

// Delayed drawing reaches the screen within one display frame.
constexpr int kFrameMilliseconds = 16;
// How long a window just shown may take to be mapped and drawn before the
// caller goes on (a window manager answers in a few milliseconds).
constexpr auto kFirstPaintWait = std::chrono::milliseconds(1000);

void OnTerminate(int) {
  const char byte = 'T';
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

int KeyCode(const QKeyEvent& event) {
  static const std::map<int, int> keys = {
      {Qt::Key_Up, VAL_UP_ARROW_VKEY},     {Qt::Key_Down, VAL_DOWN_ARROW_VKEY},
      {Qt::Key_Left, VAL_LEFT_ARROW_VKEY}, {Qt::Key_Right, VAL_RIGHT_ARROW_VKEY},
      {Qt::Key_PageUp, VAL_PAGE_UP_VKEY},  {Qt::Key_PageDown, VAL_PAGE_DOWN_VKEY},
      {Qt::Key_Home, VAL_HOME_VKEY},       {Qt::Key_End, VAL_END_VKEY},
      {Qt::Key_Return, VAL_ENTER_VKEY},    {Qt::Key_Enter, VAL_ENTER_VKEY},
      {Qt::Key_Escape, VAL_ESC_VKEY},      {Qt::Key_Tab, VAL_TAB_VKEY},
      {Qt::Key_Backspace, VAL_BACKSPACE_VKEY}, {Qt::Key_Delete, VAL_DELETE_VKEY},
      {Qt::Key_Insert, VAL_INSERT_VKEY}};
  int code = 0;
  if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F12) {
    code = VAL_F1_VKEY + (event.key() - Qt::Key_F1) * 0x100;
  } else if (const auto found = keys.find(event.key()); found != keys.end()) {
    code = found->second;
  } else if (!event.text().isEmpty() && event.text().at(0).unicode() >= 0x20 && event.text().at(0).unicode() <= 0xFF) {
    code = event.text().at(0).unicode();
  } else {
    return 0;
  }
  if (event.modifiers() & Qt::ShiftModifier) code |= VAL_SHIFT_MODIFIER;
  if (event.modifiers() & Qt::ControlModifier) code |= VAL_MENUKEY_MODIFIER;
  if (event.modifiers() & Qt::AltModifier) code |= VAL_ALT_MODIFIER;
  return code;
}

PanelWindow* PanelOf(QObject* object) {
  for (QObject* at = object; at != nullptr; at = at->parent())
    if (auto* window = dynamic_cast<PanelWindow*>(at)) return window;
  return nullptr;
}

Bitmap ToBitmap(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  Bitmap bitmap;
  bitmap.width = image.width();
  bitmap.height = image.height();
  bitmap.pixels.reserve(static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height));
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) bitmap.pixels.push_back(line[x] & 0xFFFFFF);
  }
  return bitmap;
}

QImage ToImage(const Bitmap& bitmap) {
  QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.width; ++x)
      line[x] = 0xFF000000u | bitmap.pixels[static_cast<std::size_t>(y * bitmap.width + x)];
  }
  return image;
}

// What one synchronisation takes from the model, copied under its lock.
struct Snapshot {
  std::vector<std::pair<int, std::optional<Panel>>> panels;  // without their controls
  std::vector<std::tuple<int, int, std::optional<Control>>> controls;
  std::vector<std::pair<int, std::optional<MenuBar>>> menuBars;
  std::optional<uimodel::Globals> globals;
};

class QtFrontend final : public QObject, public uimodel::Frontend {
 public:
  QtFrontend() {
    Monitors();
    qApp->setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
      auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
      connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        auto endTask = [] { uimodel::DispatchMainEvent(EVENT_END_TASK, 0, 0); };
        if (holdCalls_) held_.push_back(endTask);  // the quit question waits until the window is drawn
        else endTask();
      });
      struct sigaction action = {};
      action.sa_handler = OnTerminate;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;
      // Ctrl+C in the terminal is an end-of-session request too: the quit question
      // and sequence, never an abrupt end that leaves the instrument claimed.
      sigaction(SIGTERM, &action, nullptr);
      sigaction(SIGINT, &action, nullptr);
    }
    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(kFrameMilliseconds);
    connect(&frameTimer_, &QTimer::timeout, this, [this] {
      delayedPending_ = false;  // before taking the changes, so later ones wake again
      Sync();
    });
  }

  void Wake(bool urgent) override {
    if (urgent) {
      if (!wakePending_.exchange(true)) QMetaObject::invokeMethod(this, [this] { Sync(); }, Qt::QueuedConnection);
      return;
    }
    // Delayed drawing: one synchronisation a frame later, however many changes
    // come meanwhile. The timer belongs to the user-interface thread, so another
    // thread only posts the request to start it.
    if (delayedPending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this, [this] {
          if (!frameTimer_.isActive()) frameTimer_.start();
        },
        Qt::QueuedConnection);
  }

  bool IsUiThread() const override { return QThread::currentThread() == qApp->thread(); }

  void ProcessDrawEvents() override {
    if (!IsUiThread()) return Wake(true);
    Sync();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    AwaitFirstPaint();
  }

  int RunUserInterface() override {
    if (!IsUiThread()) return UIE_NOT_ON_UI_THREAD;
    if (!quitRequested_.exchange(false)) QApplication::exec();
    quitRequested_ = false;
    return quitCode_.load();
  }

  void QuitUserInterface(int code) override {
    quitCode_ = code;
    quitRequested_ = true;
    // exit(), not quit(): quit() first asks every window to close, and panels only close when told to.
    QMetaObject::invokeMethod(qApp, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
  }

  bool PumpEvents(bool wait) override {
    if (!IsUiThread()) return false;
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
    return !quitRequested_.load();
  }

  void PostDeferredCall(std::function<void()> call) override {
    QMetaObject::invokeMethod(
        this, [this, call = std::move(call)] {
          if (holdCalls_) held_.push_back(call);  // not inside a wait for drawing: see AwaitFirstPaint
          else call();
        },
        Qt::QueuedConnection);
  }

  int MessagePopup(const std::string& title, const std::string& text) override {
    if (!IsUiThread()) {  // nobody waits for the OK: show it later and go on
      PostDeferredCall([title, text] { ShowMessage(title, text); });
      return 0;
    }
    Sync();
    return ShowMessage(title, text);
  }

  // Questions, file dialogs and printing are refused off the user-interface
  // thread rather than waited for there: that thread may itself be waiting for
  // the caller (for the instrument link, or joining it at quit), or have left
  // its event loop for good.
  int GenericMessagePopup(const uimodel::GenericPopupRequest& request) override {
    if (!IsUiThread()) return UIE_NOT_ON_UI_THREAD;
    Sync();
    return ShowQuestion(request);
  }

  int FileSelectPopup(const uimodel::FileSelectRequest& request, std::string* path) override {
    path->clear();
    if (!IsUiThread()) return UIE_NOT_ON_UI_THREAD;
    Sync();
    return ShowFileDialog(request, path);
  }

  std::optional<Bitmap> CapturePanel(int panel, int) override {
    if (!IsUiThread()) return std::nullopt;
    Sync();
    const auto found = windows_.find(panel);
    if (found == windows_.end() || found->second.isNull()) return std::nullopt;
    return ToBitmap(found->second->Client()->grab().toImage());
  }

  int ClipboardPutBitmap(const Bitmap& bitmap) override {
    auto put = [image = ToImage(bitmap)] { QGuiApplication::clipboard()->setImage(image); };
    if (IsUiThread()) put();
    else PostDeferredCall(put);
    return 0;
  }

  std::vector<uimodel::MonitorInfo> Monitors() override {
    std::lock_guard lock(monitorsMutex_);
    if (IsUiThread()) {  // the screens are the user-interface thread's to ask; others get the last answer
      monitors_.clear();
      for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        monitors_.push_back({area.top(), area.left(), area.height(), area.width()});
      }
      if (monitors_.empty()) monitors_.emplace_back();
    }
    return monitors_;
  }

  int MonitorOf(int panel) override {
    if (!IsUiThread()) return 1;
    const auto found = windows_.find(panel);
    if (found == windows_.end() || found->second.isNull()) return 1;
    const int index = static_cast<int>(QGuiApplication::screens().indexOf(found->second->screen()));
    return index >= 0 ? index + 1 : 1;
  }

  int PrintReport(const uimodel::PrintRequest& request) override {
    if (!IsUiThread()) return kNIReportErrNotOnUiThread;
    Sync();
    return uiqt::PrintReport(request);
  }

  std::vector<std::string> Printers(std::string* defaultPrinter) override {
    defaultPrinter->clear();
    if (!IsUiThread()) return {};
    return PrinterNames(defaultPrinter);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    // A key is offered to the panel once, when it reaches the widget with the focus.
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : QApplication::activeWindow();
    if (watched != target) return false;
    PanelWindow* window = PanelOf(watched);
    const int code = KeyCode(*static_cast<QKeyEvent*>(event));
    if (window == nullptr || code == 0) return false;
    return uimodel::UserKeyPress(window->Handle(), code) > 0;
  }

 private:
  // A window just shown is only on screen once the window system has mapped it
  // and it has been painted; a caller that goes on to block this thread (the
  // instrument search under the splash panel) would otherwise leave it blank or
  // unmapped. Waits a bounded time, handling window-system events but no user
  // input; calls posted meanwhile run afterwards, so no message box opens here.
  void AwaitFirstPaint() {
    if (holdCalls_) return;  // already waiting further up this thread's stack
    std::erase_if(unpainted_, [](const QPointer<PanelWindow>& window) {
      return window.isNull() || !window->isVisible();
    });
    if (unpainted_.empty()) return;
    holdCalls_ = true;
    auto painted = [](const QPointer<PanelWindow>& window) {
      if (window.isNull() || !window->isVisible()) return true;
      if (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()) return false;
      window->repaint();
      return true;
    };
    QTimer deadline;  // wakes the wait below when nothing else does
    deadline.setSingleShot(true);
    deadline.start(kFirstPaintWait);
    std::erase_if(unpainted_, painted);
    while (!unpainted_.empty() && deadline.isActive()) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
      std::erase_if(unpainted_, painted);
    }
    unpainted_.clear();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // sends what was painted
    holdCalls_ = false;
    for (auto& call : held_) PostDeferredCall(std::move(call));
    held_.clear();
  }

  Snapshot Take() {
    Snapshot snapshot;
    uimodel::Store& store = uimodel::TheStore();
    std::lock_guard lock(store.mutex);
    const uimodel::ChangeSet changes = store.TakeChanges();
    for (const auto& [panel, control] : changes.controls) {
      const Panel* owner = store.FindPanel(panel);
      if (control != 0) {
        const Control* found = store.FindControl(panel, control);
        snapshot.controls.emplace_back(panel, control, found ? std::optional<Control>(*found) : std::nullopt);
        continue;
      }
      if (owner == nullptr) {
        snapshot.panels.emplace_back(panel, std::nullopt);
        continue;
      }
      Panel copy = *owner;
      copy.controls.clear();
      snapshot.panels.emplace_back(panel, std::move(copy));
      if (windows_.count(panel) == 0)  // a new window: all its controls
        for (const auto& [id, control] : owner->controls) snapshot.controls.emplace_back(panel, id, control);
    }
    for (int bar : changes.menuBars) {
      const MenuBar* found = store.FindMenuBar(bar);
      snapshot.menuBars.emplace_back(bar, found ? std::optional<MenuBar>(*found) : std::nullopt);
    }
    if (changes.globals) snapshot.globals = store.globals;
    return snapshot;
  }

  void ApplyPanels(const Snapshot& snapshot) {
    for (auto gone = snapshot.panels.rbegin(); gone != snapshot.panels.rend(); ++gone) {  // children first
      if (gone->second) continue;
      const auto found = windows_.find(gone->first);
      if (found == windows_.end()) continue;
      if (!found->second.isNull()) {
        found->second->hide();
        found->second->deleteLater();
      }
      windows_.erase(found);
    }
    for (const auto& [handle, panel] : snapshot.panels) {  // parents have the smaller handles
      if (!panel) continue;
      QPointer<PanelWindow>& window = windows_[handle];
      if (window.isNull()) {
        const auto parent = windows_.find(panel->parent);
        QWidget* client = panel->parent != 0 && parent != windows_.end() && !parent->second.isNull()
                              ? parent->second->Client()
                              : nullptr;
        window = new PanelWindow(handle, client);
      }
      const bool wasShown = window->isVisible();
      window->ApplyPanel(*panel);
      if (!wasShown && window->isVisible() && window->isWindow()) unpainted_.push_back(window);
      if (panel->activeControl != 0) window->FocusControl(panel->activeControl);
    }
  }

  void ApplyRest(const Snapshot& snapshot) {
    for (const auto& [panel, id, control] : snapshot.controls) {
      const auto found = windows_.find(panel);
      if (found != windows_.end() && !found->second.isNull()) found->second->ApplyControl(id, control ? &*control : nullptr);
    }
    for (const auto& [handle, window] : windows_)
      if (!window.isNull()) window->SettleTabOrder();
    for (const auto& [handle, bar] : snapshot.menuBars) {
      const int panel = bar ? bar->panel : menuBarPanels_[handle];
      menuBarPanels_[handle] = panel;
      const auto found = windows_.find(panel);
      if (found != windows_.end() && !found->second.isNull()) found->second->ApplyMenuBar(bar ? &*bar : nullptr);
      if (!bar) menuBarPanels_.erase(handle);
    }
    if (snapshot.globals) ApplyGlobals(*snapshot.globals);
  }

  void ApplyGlobals(const uimodel::Globals& globals) {
    const Qt::CursorShape wanted = globals.waitCursor                                    ? Qt::WaitCursor
                                   : globals.mouseCursor == VAL_POINTING_FINGER_CURSOR ? Qt::PointingHandCursor
                                   : globals.mouseCursor == VAL_HOUR_GLASS_CURSOR      ? Qt::WaitCursor
                                   : globals.mouseCursor == VAL_CROSS_HAIR_CURSOR      ? Qt::CrossCursor
                                                                                       : Qt::ArrowCursor;
    if (wanted != cursor_) {
      if (cursor_ != Qt::ArrowCursor) QApplication::restoreOverrideCursor();
      if (wanted != Qt::ArrowCursor) QApplication::setOverrideCursor(wanted);
      cursor_ = wanted;
    }
    const auto active = windows_.find(globals.activePanel);
    if (active != windows_.end() && !active->second.isNull() && active->second->isVisible()) {
      active->second->raise();
      active->second->activateWindow();
    }
  }

  // Mirrors what changed in the model since the last time (user-interface thread).
  void Sync() {
    wakePending_ = false;
    const Snapshot snapshot = Take();
    ApplyPanels(snapshot);
    ApplyRest(snapshot);
  }

  std::atomic<bool> wakePending_{false};
  std::atomic<bool> delayedPending_{false};  // a frame timer is requested or running
  QTimer frameTimer_;
  std::vector<QPointer<PanelWindow>> unpainted_;  // shown, not yet on screen
  bool holdCalls_ = false;
  std::vector<std::function<void()>> held_;
  std::atomic<bool> quitRequested_{false};
  std::atomic<int> quitCode_{0};
  std::map<int, QPointer<PanelWindow>> windows_;
  std::map<int, int> menuBarPanels_;
  Qt::CursorShape cursor_ = Qt::ArrowCursor;
  std::mutex monitorsMutex_;
  std::vector<uimodel::MonitorInfo> monitors_{uimodel::MonitorInfo{}};
};

// Without a display Qt aborts with advice to reinstall; the user should rather
// read that the program needs one. Qt's messages are held while it starts.
std::string startingProgram;
std::string startupMessages;
bool displayUnreachable = false;

void OnStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (message.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive)) displayUnreachable = true;
  if (type != QtFatalMsg) {
    startupMessages += message.toStdString() + "\n";
    return;
  }
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool none = (x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0');
  if (none)
    std::fprintf(stderr, "%s needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty).\n",
                 startingProgram.c_str());
  else if (displayUnreachable)
    std::fprintf(stderr, "%s needs a graphical display, and the display \"%s\" cannot be reached.\n",
                 startingProgram.c_str(), x11 != nullptr && *x11 != '\0' ? x11 : wayland);
  else
    std::fprintf(stderr, "%s needs a graphical display, and could not open one:\n%s", startingProgram.c_str(),
                 startupMessages.c_str());
  std::_Exit(1);
}

}  // namespace
}  // namespace uiqt

int UseQtFrontend(int& argc, char** argv) {
  if (QApplication::instance() == nullptr) {
    const std::string path = argc > 0 && argv[0] != nullptr ? argv[0] : "ORNIKELVARINLAB";
    uiqt::startingProgram = path.substr(path.find_last_of('/') + 1);
    const QtMessageHandler previous = qInstallMessageHandler(uiqt::OnStartupMessage);
    new QApplication(argc, argv);  // lives as long as the program
    qInstallMessageHandler(previous);
    if (!uiqt::startupMessages.empty()) std::fputs(uiqt::startupMessages.c_str(), stderr);
  }
  static uiqt::QtFrontend* frontend = new uiqt::QtFrontend();
  uimodel::InstallFrontend(frontend);
  {
    uimodel::Store& store = uimodel::TheStore();
    std::lock_guard lock(store.mutex);
    store.MarkAll();  // panels loaded before now appear too
  }
  uimodel::NotifyChanged(true);
  return 0;
}
