#include "platform/ui/Headless.h"

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "platform/ui/Controls.h"
#include "platform/ui/Graphs.h"
#include "platform/ui/Dispatch.h"
#include "platform/ui/Frontend.h"
#include "platform/ui/Toolbar.h"

using namespace uimodel;

namespace {

using Key = std::pair<int, int>;

struct GraphScreen {
  std::vector<int> plots;
  std::uint64_t plotRevision = 0, cursorRevision = 0;
  int redraws = 0;
};

class HeadlessFrontend final : public Frontend {
 public:
  HeadlessFrontend() {
    thread_ = std::thread([this] { Loop(); });
    uiThreadId_ = thread_.get_id();
  }
  ~HeadlessFrontend() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      abandon_ = true;
      signal_.notify_all();
    }
    if (std::this_thread::get_id() == thread_.get_id()) thread_.detach();
    else thread_.join();
  }

  // Like Qt's queued synchronisation: one pending at a time, from any thread.
  void Wake(bool urgent) override {
    if (urgent) {
      if (!syncPending_.exchange(true)) PostDeferredCall([this] { Flush(); });
    } else if (!delayedPending_.exchange(true)) {
      PostDeferredCall([this] { Flush(); });  // delayed drawing: after what is queued now
    }
  }
  bool IsUiThread() const override { return std::this_thread::get_id() == uiThreadId_; }
  void ProcessDrawEvents() override {
    if (IsUiThread()) Flush();
    else Wake(true);
  }

  int RunUserInterface() override {
    if (!IsUiThread()) return UIE_NOT_ON_UI_THREAD;
    std::unique_lock lock(mutex_);
    for (;;) {
      if (quit_) {
        quit_ = false;
        return quitCode_;
      }
      if (posted_.empty() &&
          !signal_.wait_for(lock, IdleTimeout(), [&] { return quit_ || abandon_ || !posted_.empty(); }))
        return -1;  // nothing happened for the idle timeout: give up rather than hang
      if (abandon_) return -1;
      if (!quit_) RunOnePosted(lock);
    }
  }

  void QuitUserInterface(int code) override {
    std::lock_guard lock(mutex_);
    quit_ = true;
    quitCode_ = code;
    signal_.notify_all();
  }

  bool PumpEvents(bool wait) override {
    if (!IsUiThread()) return false;
    std::unique_lock lock(mutex_);
    for (;;) {
      if (!posted_.empty()) {
        while (!posted_.empty()) RunOnePosted(lock);
        return true;
      }
      if (!answers_.empty() && answers_.front().kind == headless::Answer::Action) {
        RunAction(lock);
        return true;
      }
      if (!answers_.empty() && answers_.front().kind == headless::Answer::Press) {
        const headless::Answer press = answers_.front();
        answers_.pop_front();
        lock.unlock();
        UserCommit(press.panel != 0 ? press.panel : TopPopup(), press.number);
        return true;
      }
      if (!wait || abandon_) return false;
      if (!answers_.empty()) {
        ReportUnanswered(lock, "a press on a pop-up (the next scripted answer is for another pop-up)");
        return false;
      }
      if (!signal_.wait_for(lock, IdleTimeout(), [&] { return abandon_ || !posted_.empty() || !answers_.empty(); })) {
        ReportUnanswered(lock, "a press on a pop-up");
        return false;
      }
    }
  }

  void PostDeferredCall(std::function<void()> call) override {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(call));
    signal_.notify_all();
  }

  // A message box only has OK: the user reads it and presses it. What was
  // queued meanwhile runs first, as in the modal loop of a real box.
  int MessagePopup(const std::string& title, const std::string& text) override {
    if (!IsUiThread()) {  // nobody waits for the OK: show it later and go on
      PostDeferredCall([this, title, text] { MessagePopup(title, text); });
      return 0;
    }
    Record({headless::PopupRecord::Message, title, text, {"OK"}, 0});  // on screen from now on
    std::unique_lock lock(mutex_);
    while (!posted_.empty()) RunOnePosted(lock);
    return 0;
  }

  // Questions, file dialogs and printing reach here on the user-interface
  // thread only: the toolkit calls refuse them elsewhere.
  int GenericMessagePopup(const GenericPopupRequest& request) override {
    const int count = static_cast<int>(request.buttons.size());
    int result = request.escapeButton;
    const auto answer = ModalWait("the question \"" + request.title + "\": \"" + request.text + "\"",
                                  {headless::Answer::Button, headless::Answer::Enter, headless::Answer::Escape});
    if (answer && answer->kind == headless::Answer::Enter) result = request.enterButton;
    if (answer && answer->kind == headless::Answer::Button && answer->number >= 1 && answer->number <= count)
      result = answer->number;
    Record({headless::PopupRecord::Question, request.title, request.text, request.buttons, result});
    return result;
  }

  int FileSelectPopup(const FileSelectRequest& request, std::string* path) override {
    int result = VAL_NO_FILE_SELECTED;
    const auto answer = ModalWait("the file dialog \"" + request.title + "\"",
                                  {headless::Answer::File, headless::Answer::Cancel, headless::Answer::Enter,
                                   headless::Answer::Escape});
    std::string chosen;
    if (answer && answer->kind == headless::Answer::File) chosen = answer->path;
    if (answer && answer->kind == headless::Answer::Enter &&
        request.defaultFileSpec.find_first_of("*?") == std::string::npos && !request.defaultFileSpec.empty())
      chosen = (std::filesystem::path(request.defaultDirectory) / request.defaultFileSpec).string();
    if (!chosen.empty()) {
      std::error_code error;
      result = std::filesystem::exists(chosen, error) ? VAL_EXISTING_FILE_SELECTED : VAL_NEW_FILE_SELECTED;
      *path = chosen;
    }
    Record({headless::PopupRecord::FileDialog, request.title, request.defaultDirectory, {}, result});
    return result;
  }

  std::optional<Bitmap> CapturePanel(int panel, int) override { return SchematicPanelPicture(panel); }

  int ClipboardPutBitmap(const Bitmap& bitmap) override {
    std::lock_guard lock(mutex_);
    clipboard_ = bitmap;
    return 0;
  }

  std::vector<MonitorInfo> Monitors() override {
    std::lock_guard lock(mutex_);
    return {monitor_};
  }
  int MonitorOf(int) override { return 1; }

  int PrintReport(const PrintRequest& request) override {
    headless::Printer printer;
    const int status = ChoosePrinter(request.printer, &printer);
    if (status < 0) return status;
    if (request.settings.printDialog && !ConfirmPrintDialog(printer.name)) return kNIReportErrCancelled;
    headless::PrintedReport printed;
    const int laidOut = LayOut(request, printer, &printed);
    if (laidOut < 0) return laidOut;
    std::lock_guard lock(mutex_);
    printed_.push_back(std::move(printed));
    return 0;
  }

  std::vector<std::string> Printers(std::string* defaultPrinter) override {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const headless::Printer& printer : printers_) names.push_back(printer.name);
    *defaultPrinter = names.empty() ? "" : names.front();
    return names;
  }

  // ---- test side
  std::thread::id UiThread() const { return uiThreadId_; }

  void RunAndWait(const std::function<void()>& action) {
    if (IsUiThread()) return action();
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    PostDeferredCall([&] {
      action();
      std::lock_guard lock(doneMutex);
      done = true;
      doneSignal.notify_all();
    });
    std::unique_lock lock(doneMutex);
    doneSignal.wait(lock, [&] { return done; });
  }

  bool WaitForOpenQuestions(int count, double seconds) {
    std::unique_lock lock(mutex_);
    return signal_.wait_for(lock, std::chrono::duration<double>(seconds),
                            [&] { return static_cast<int>(openQuestions_.size()) == count; });
  }

  // Gives up any modal wait and lets the thread finish what is queued.
  void ResetState() {
    {
      std::lock_guard lock(mutex_);
      abandon_ = true;
      signal_.notify_all();
    }
    RunAndWait([] {});
    std::lock_guard lock(mutex_);
    abandon_ = false;
    posted_.clear();
    answers_.clear();
    popups_.clear();
    openQuestions_.clear();
    screen_.clear();
    clipboard_.reset();
    monitor_ = MonitorInfo{};
    printers_ = DefaultPrinters();
    printed_.clear();
    idleTimeoutSeconds_ = 10.0;
    quit_ = false;
    quitCode_ = 0;
  }

  std::mutex mutex_;
  std::condition_variable signal_;  // posted calls, answers, quit and open questions
  std::deque<std::function<void()>> posted_;
  std::deque<headless::Answer> answers_;
  std::vector<headless::PopupRecord> popups_;
  std::vector<std::string> openQuestions_;
  std::map<Key, GraphScreen> screen_;
  std::optional<Bitmap> clipboard_;
  MonitorInfo monitor_;
  std::vector<headless::Printer> printers_ = DefaultPrinters();
  std::vector<headless::PrintedReport> printed_;
  std::function<void(const std::string&)> unanswered_ = PrintUnanswered;
  double idleTimeoutSeconds_ = 10.0;
  bool quit_ = false;
  int quitCode_ = 0;
  bool abandon_ = false;  // Reset: modal waits give up
  bool stopping_ = false;

 private:
  static std::vector<headless::Printer> DefaultPrinters() { return {headless::Printer{"Headless printer"}}; }

  static void PrintUnanswered(const std::string& what) {
    std::fprintf(stderr, "headless: nobody answered %s\n", what.c_str());
  }

  // The user-interface thread: runs what is posted until the front-end goes.
  void Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
      signal_.wait(lock, [&] { return stopping_ || !posted_.empty(); });
      if (stopping_) return;
      RunOnePosted(lock);
    }
  }

  // The modal loop of a question: what arrives meanwhile (posted calls,
  // scripted actions) runs until its answer comes.
  std::optional<headless::Answer> ModalWait(const std::string& what,
                                            std::initializer_list<headless::Answer::Kind> suitable) {
    std::unique_lock lock(mutex_);
    openQuestions_.push_back(what);
    signal_.notify_all();
    std::optional<headless::Answer> answer;
    for (;;) {
      if (abandon_) break;
      if (!posted_.empty()) {
        RunOnePosted(lock);
        continue;
      }
      if (!answers_.empty() && answers_.front().kind == headless::Answer::Action) {
        RunAction(lock);
        continue;
      }
      if (!answers_.empty()) {
        if (std::find(suitable.begin(), suitable.end(), answers_.front().kind) != suitable.end()) {
          answer = std::move(answers_.front());
          answers_.pop_front();
        } else {
          ReportUnanswered(lock, what + " (the next scripted answer is for another pop-up)");
        }
        break;
      }
      if (!signal_.wait_for(lock, IdleTimeout(), [&] { return abandon_ || !posted_.empty() || !answers_.empty(); })) {
        ReportUnanswered(lock, what);
        break;
      }
    }
    openQuestions_.pop_back();
    signal_.notify_all();
    return answer;
  }

  void ReportUnanswered(std::unique_lock<std::mutex>& lock, const std::string& what) {
    const auto report = unanswered_;
    lock.unlock();
    if (report) report(what);
    lock.lock();
  }

  // Takes the scripted action at the front and does it (the lock is released meanwhile).
  void RunAction(std::unique_lock<std::mutex>& lock) {
    const std::function<void()> action = std::move(answers_.front().action);
    answers_.pop_front();
    lock.unlock();
    if (action) action();
    lock.lock();
  }

  // The named printer, the default one for an empty name, or a PDF file (A4).
  int ChoosePrinter(const std::string& name, headless::Printer* chosen) {
    if (IsPdfFileName(name)) {
      *chosen = headless::Printer{name};
      return 0;
    }
    std::lock_guard lock(mutex_);
    for (const headless::Printer& printer : printers_) {
      if (name.empty() || printer.name == name) {
        *chosen = printer;
        return 0;
      }
    }
    return kNIReportErrPrinterNotFound;
  }

  bool ConfirmPrintDialog(const std::string& printer) {
    const auto answer = TakeAnswer({headless::Answer::Enter, headless::Answer::Escape, headless::Answer::Cancel});
    const bool print = !answer || answer->kind == headless::Answer::Enter;
    Record({headless::PopupRecord::PrintDialog, "Print", printer, {}, print ? 1 : 0});
    return print;
  }
  static int LayOut(const PrintRequest& request, const headless::Printer& printer, headless::PrintedReport* printed) {
    const bool landscape = request.settings.orientation == kNIReportLandscape;
    const double width = landscape ? printer.paperHeight : printer.paperWidth;
    const double height = landscape ? printer.paperWidth : printer.paperHeight;
    const Margins minimum{printer.minimumMargin, printer.minimumMargin, printer.minimumMargin, printer.minimumMargin};
    printed->printer = printer.name;
    printed->orientation = request.settings.orientation;
    printed->margins = request.settings.margins;
    const int pageCount = static_cast<int>(request.pages.size());
    for (int number = 1; number <= pageCount; ++number) {
      const std::vector<ReportImage>& images = request.pages[static_cast<std::size_t>(number - 1)];
      PageLayout layout;
      const int status = LayoutReportPage(request.settings, width, height, minimum, images, &layout);
      if (status < 0) return status;
      headless::PrintedPage page;
      for (std::size_t i = 0; i < images.size(); ++i) {
        const RectInches& at = layout.images[i];
        page.images.push_back({images[i].fileName, images[i].width, images[i].height, at.x, at.y, at.width, at.height});
      }
      for (std::size_t i = 0; i < 3; ++i) {
        page.header[i] = ExpandReportText(request.settings.header[i], request.date, number, pageCount);
        page.footer[i] = ExpandReportText(request.settings.footer[i], request.date, number, pageCount);
      }
      printed->pages.push_back(std::move(page));
    }
    return 0;
  }

  std::chrono::milliseconds IdleTimeout() const {
    return std::chrono::milliseconds(static_cast<long long>(idleTimeoutSeconds_ * 1000.0));
  }

  void RunOnePosted(std::unique_lock<std::mutex>& lock) {
    std::function<void()> call = std::move(posted_.front());
    posted_.pop_front();
    lock.unlock();
    call();
    lock.lock();
  }

  std::optional<headless::Answer> TakeAnswer(std::initializer_list<headless::Answer::Kind> suitable) {
    std::lock_guard lock(mutex_);
    if (answers_.empty()) return std::nullopt;
    for (headless::Answer::Kind kind : suitable) {
      if (answers_.front().kind == kind) {
        headless::Answer answer = answers_.front();
        answers_.pop_front();
        return answer;
      }
    }
    return std::nullopt;  // the next answer is meant for another pop-up
  }

  void Record(headless::PopupRecord record) {
    std::lock_guard lock(mutex_);
    popups_.push_back(std::move(record));
  }

  static int TopPopup() {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return store.globals.popups.empty() ? 0 : store.globals.popups.back();
  }

  // Mirrors pending changes onto the headless "screen": the plots each graph shows.
  void Flush() {
    syncPending_ = false;
    delayedPending_ = false;
    std::map<Key, std::optional<GraphScreen>> seen;
    {
      Store& store = TheStore();
      std::lock_guard lock(store.mutex);
      const ChangeSet changes = store.TakeChanges();
      for (const Key& key : changes.controls) {
        if (key.second == 0) continue;
        const Control* control = store.FindControl(key.first, key.second);
        if (control == nullptr) {
          seen[key] = std::nullopt;
          continue;
        }
        if (!control->graph) continue;
        GraphScreen now;
        for (const Plot& plot : control->graph->plots) now.plots.push_back(plot.handle);
        now.plotRevision = control->graph->plotRevision;
        now.cursorRevision = control->graph->cursorRevision;
        seen[key] = now;
      }
    }
    std::lock_guard lock(mutex_);
    for (auto& [key, now] : seen) {
      if (!now) {
        screen_.erase(key);
        continue;
      }
      GraphScreen& shown = screen_[key];
      if (shown.plotRevision == now->plotRevision && shown.cursorRevision == now->cursorRevision) continue;
      now->redraws = shown.redraws + 1;
      shown = *now;
    }
  }

  std::atomic<bool> syncPending_{false};
  std::atomic<bool> delayedPending_{false};
  std::atomic<std::thread::id> uiThreadId_{};
  std::thread thread_;  // last: it starts with everything above in place
};

HeadlessFrontend& TheHeadless() {
  static HeadlessFrontend frontend;
  return frontend;
}

std::atomic<Frontend*> installed{nullptr};

}  // namespace

namespace uimodel {

Frontend& CurrentFrontend() {
  Frontend* frontend = installed.load(std::memory_order_acquire);
  return frontend != nullptr ? *frontend : TheHeadless();
}

void InstallFrontend(Frontend* frontend) { installed.store(frontend, std::memory_order_release); }

}  // namespace uimodel

namespace headless {

void Use() { InstallFrontend(nullptr); }

void Reset() {
  TheHeadless().ResetState();
  {
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.Clear();
    store.TakeChanges();
  }
  ResetToolbars();
  ResetReports();
  ResetBindings();
}

std::thread::id UiThreadId() { return TheHeadless().UiThread(); }
void Run(const std::function<void()>& action) { TheHeadless().RunAndWait(action); }
void Post(std::function<void()> action) { TheHeadless().PostDeferredCall(std::move(action)); }
void Sync() { TheHeadless().RunAndWait([] {}); }
bool WaitForOpenQuestions(int count, double seconds) { return TheHeadless().WaitForOpenQuestions(count, seconds); }

std::vector<std::string> OpenQuestions() {
  std::lock_guard lock(TheHeadless().mutex_);
  return TheHeadless().openQuestions_;
}

void OnUnansweredQuestion(std::function<void(const std::string&)> report) {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().unanswered_ = std::move(report);
}

namespace {

// A user action, handled on the user-interface thread while the test waits.
int AsUser(const std::function<int()>& action) {
  int result = 0;
  Run([&] { result = action(); });
  return result;
}

int DragMarkerNow(int panel, int control, int top, int left, int steps) {
  int startTop = 0, startLeft = 0;
  int status = GetCtrlAttribute(panel, control, ATTR_TOP, &startTop);
  if (status < 0) return status;
  GetCtrlAttribute(panel, control, ATTR_LEFT, &startLeft);
  steps = std::max(1, steps);
  for (int step = 1; step <= steps; ++step) {
    const int atTop = startTop + (top - startTop) * step / steps;
    const int atLeft = startLeft + (left - startLeft) * step / steps;
    status = UserMoveMarker(panel, control, atTop, atLeft, step == steps);
    if (status < 0) return status;
  }
  return status;
}

int DragCursorNow(int panel, int control, int cursor, double x, double y, int steps) {
  double startX = 0, startY = 0;
  int status = GetGraphCursor(panel, control, cursor, &startX, &startY);
  if (status < 0) return status;
  steps = std::max(1, steps);
  for (int step = 1; step <= steps; ++step) {
    const double fraction = static_cast<double>(step) / steps;
    status = UserMoveCursor(panel, control, cursor, startX + (x - startX) * fraction,
                            startY + (y - startY) * fraction, step == steps);
    if (status < 0) return status;
  }
  return status;
}

}  // namespace

int Commit(int panel, int control) {
  return AsUser([=] { return UserCommit(panel, control); });
}
int SetValue(int panel, int control, double value) {
  return AsUser([=] { return UserSetNumber(panel, control, value); });
}
int SetValue(int panel, int control, const std::string& text) {
  return AsUser([=, &text] { return UserSetText(panel, control, text); });
}
int SelectIndex(int panel, int control, int index) {
  return AsUser([=] { return UserSelectIndex(panel, control, index); });
}
int KeyPress(int panel, int key) {
  return AsUser([=] { return UserKeyPress(panel, key); });
}
int LeftClick(int panel, int control, int x, int y) {
  return AsUser([=] { return UserLeftClick(panel, control, x, y); });
}
int Focus(int panel, int control) {
  return AsUser([=] { return UserFocus(panel, control); });
}
int Close(int panel) {
  return AsUser([=] { return UserClose(panel); });
}
int Resize(int panel, int height, int width) {
  return AsUser([=] { return UserResize(panel, height, width); });
}
int ChooseMenuItem(int menuBar, int item) {
  return AsUser([=] { return UserChooseMenuItem(menuBar, item); });
}
int EndTask() {
  return AsUser([] { return DispatchMainEvent(EVENT_END_TASK, 0, 0); });
}

int DragMarker(int panel, int control, int top, int left, int steps) {
  return AsUser([=] { return DragMarkerNow(panel, control, top, left, steps); });
}

int DragCursor(int panel, int control, int cursor, double x, double y, int steps) {
  return AsUser([=] { return DragCursorNow(panel, control, cursor, x, y, steps); });
}

int ClickToolbarItem(int toolbar, int item) {
  return AsUser([=] {
    int control = 0;
    const int status = Toolbar_GetItemAttribute(toolbar, item, kToolbarAttrCtrlId, &control);
    if (status < 0) return status;
    return UserCommit(Toolbar_GetPanel(toolbar), control);
  });
}

void QueueAnswer(const Answer& answer) {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().answers_.push_back(answer);
  TheHeadless().signal_.notify_all();
}

std::size_t PendingAnswers() {
  std::lock_guard lock(TheHeadless().mutex_);
  return TheHeadless().answers_.size();
}

std::vector<PopupRecord> Popups() {
  std::lock_guard lock(TheHeadless().mutex_);
  return TheHeadless().popups_;
}

void ClearPopups() {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().popups_.clear();
}

std::vector<PlotInfo> Plots(int panel, int control) {
  std::vector<PlotInfo> plots;
  ReadGraph(panel, control, [&plots](const Graph& graph) {
    for (const Plot& plot : graph.plots)
      plots.push_back({plot.handle, plot.kind != PlotKind::Polyline, plot.points->x, plot.points->y, plot.color,
                       plot.fillColor, plot.visible});
    return 0;
  });
  return plots;
}

std::vector<int> DisplayedPlots(int panel, int control) {
  std::lock_guard lock(TheHeadless().mutex_);
  const auto found = TheHeadless().screen_.find({panel, control});
  return found == TheHeadless().screen_.end() ? std::vector<int>{} : found->second.plots;
}

int GraphRedraws(int panel, int control) {
  std::lock_guard lock(TheHeadless().mutex_);
  const auto found = TheHeadless().screen_.find({panel, control});
  return found == TheHeadless().screen_.end() ? 0 : found->second.redraws;
}

bool ClipboardBitmap(int* width, int* height, std::vector<std::uint32_t>* pixels) {
  std::lock_guard lock(TheHeadless().mutex_);
  const auto& clipboard = TheHeadless().clipboard_;
  if (!clipboard) return false;
  if (width != nullptr) *width = clipboard->width;
  if (height != nullptr) *height = clipboard->height;
  if (pixels != nullptr) *pixels = clipboard->pixels;
  return true;
}

std::vector<int> PopupStack() {
  Store& store = TheStore();
  std::lock_guard lock(store.mutex);
  return store.globals.popups;
}

void SetMonitorSize(int height, int width) {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().monitor_.height = height;
  TheHeadless().monitor_.width = width;
}

void SetPrinters(const std::vector<Printer>& printers) {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().printers_ = printers;
}

std::vector<PrintedReport> PrintedReports() {
  std::lock_guard lock(TheHeadless().mutex_);
  return TheHeadless().printed_;
}

void SetIdleTimeout(double seconds) {
  std::lock_guard lock(TheHeadless().mutex_);
  TheHeadless().idleTimeoutSeconds_ = seconds;
}

}  // namespace headless
