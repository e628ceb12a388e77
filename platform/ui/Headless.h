// The headless front-end: no windows. Tests act as the user here (inject
// events, answer pop-ups from a script) and inspect what would be on screen.
// As with Qt, a user-interface thread of its own runs the callbacks, the
// pop-ups' modal waits and the mirroring of the model; the test's thread acts
// on it the way the user would, and waits for each action to be handled.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/UiConstants.h"

namespace headless {

// Installs the headless front-end (the default when no other is installed).
void Use();
// Discards every panel, menu bar, toolbar, bitmap, callback binding, scripted
// answer and record: a fresh start for the next test. A pop-up still waiting
// for an answer is given up first.
void Reset();

// ---- the user-interface thread
std::thread::id UiThreadId();
// Runs `action` there and waits for it to return (at once when called there).
// The program's own entry points (start-up, quit) are run this way.
void Run(const std::function<void()>& action);
// Queues `action` there and returns at once: an event that arrives while the
// test goes on, e.g. while a question is open.
void Post(std::function<void()> action);
// Waits until everything queued there so far has been handled and drawn.
void Sync();
// Waits (real time, at most `seconds`) until exactly `count` questions or
// file dialogs are open at once (0: all answered); false when that did not
// happen. Sync alone does not do: a question's wait handles what is queued.
bool WaitForOpenQuestions(int count, double seconds = 10.0);
// The titles of the questions and file dialogs open now, the innermost last.
std::vector<std::string> OpenQuestions();
// What happens to a question, file dialog or wait for a press that the script
// does not answer: `report` is told which one (the default prints it on
// stderr), and the pop-up gets its Escape answer.
void OnUnansweredQuestion(std::function<void(const std::string& what)> report);

// ---- the user acts (each waits until the user-interface thread handled it)
int Commit(int panel, int control);                               // button press, Enter
int SetValue(int panel, int control, double value);               // VAL_CHANGED then COMMIT
int SetValue(int panel, int control, const std::string& text);
int SelectIndex(int panel, int control, int index);               // ring or list: VAL_CHANGED then COMMIT
int KeyPress(int panel, int key);                                 // to the active control, then the panel
int LeftClick(int panel, int control, int x, int y);
int Focus(int panel, int control);                                // EVENT_GOT_FOCUS
int Close(int panel);                                             // the window's close box
int Resize(int panel, int height, int width);                     // EVENT_PANEL_SIZE
// Drags a marker to (top, left) in `steps` moves: EVENT_DROP for each, EVENT_DROPPED at the end.
int DragMarker(int panel, int control, int top, int left, int steps = 3);
// Drags a graph cursor to (x, y) in axis units: EVENT_VAL_CHANGED per move, EVENT_COMMIT at release.
int DragCursor(int panel, int control, int cursor, double x, double y, int steps = 3);
int ChooseMenuItem(int menuBar, int item);
int ClickToolbarItem(int toolbar, int item);
int EndTask();                                                    // the session asks the program to end

// ---- scripted answers, taken in order by the pop-ups and GetUserEvent. A
// question waits for its answer (real time, the idle timeout); one that the
// script does not answer is reported (OnUnansweredQuestion).
struct Answer {
  enum Kind { Button, Enter, Escape, File, Cancel, Press, Action } kind = Enter;
  int number = 0;        // Button: 1-based; Press: control id
  std::string path;      // File
  int panel = 0;         // Press: panel handle, 0 = the top pop-up
  std::function<void()> action;  // Action: done while the next question is open
};
void QueueAnswer(const Answer& answer);
inline void AnswerButton(int number) { QueueAnswer({Answer::Button, number, {}, 0, {}}); }
inline void AnswerEnter() { QueueAnswer({Answer::Enter, 0, {}, 0, {}}); }
inline void AnswerEscape() { QueueAnswer({Answer::Escape, 0, {}, 0, {}}); }
inline void AnswerFile(const std::string& path) { QueueAnswer({Answer::File, 0, path, 0, {}}); }
inline void AnswerCancel() { QueueAnswer({Answer::Cancel, 0, {}, 0, {}}); }
inline void AnswerPress(int control, int panel = 0) { QueueAnswer({Answer::Press, control, {}, panel, {}}); }
// Something the user (or the system) does while the next question, file
// dialog or wait for a press is open, before it is answered.
inline void WhileOpen(std::function<void()> action) { QueueAnswer({Answer::Action, 0, {}, 0, std::move(action)}); }
std::size_t PendingAnswers();

// ---- what was shown
struct PopupRecord {
  enum Kind { Message, Question, FileDialog, PrintDialog } kind = Message;
  std::string title, text;
  std::vector<std::string> buttons;
  int result = 0;
};
std::vector<PopupRecord> Popups();
void ClearPopups();

struct PlotInfo {
  int handle = 0;
  bool polygon = true;
  std::vector<double> x, y;
  int color = 0, fillColor = 0;
  bool visible = true;
};
// The plots in the model (what the next redraw shows), in drawing order.
std::vector<PlotInfo> Plots(int panel, int control);
// The plot handles on the "screen": as of the last redraw (immediate drawing,
// ProcessDrawEvents); delayed deletions are not there yet.
std::vector<int> DisplayedPlots(int panel, int control);
// How many times the graph was redrawn.
int GraphRedraws(int panel, int control);
// The picture last put on the clipboard (width, height, pixels 0xRRGGBB).
bool ClipboardBitmap(int* width, int* height, std::vector<std::uint32_t>* pixels);
// The modal pop-ups shown, bottom first.
std::vector<int> PopupStack();

// ---- printing
struct Printer {
  std::string name;
  double paperWidth = 8.27, paperHeight = 11.69;  // inches, portrait
  double minimumMargin = 0.0;                     // inches it cannot print at each edge
};
// The printers the system knows, the first one being the default (an empty list:
// no printer at all). At start: one A4 printer "Headless printer", no unprintable edge.
void SetPrinters(const std::vector<Printer>& printers);

struct PrintedImage {
  std::string fileName;
  int width = 0, height = 0;                                 // pixels
  double x = 0, y = 0, printedWidth = 0, printedHeight = 0;  // inches on the paper
};
struct PrintedPage {
  std::vector<PrintedImage> images;
  std::array<std::string, 3> header, footer;  // left, centre, right, placeholders replaced
};
// A report as it came out: PDF file names (printer names ending in ".pdf") are
// recorded like printers; no file is written.
struct PrintedReport {
  std::string printer;  // the default printer's name when the program named none
  int orientation = 0;
  std::array<double, 4> margins{};  // top, left, bottom, right
  std::vector<PrintedPage> pages;
};
std::vector<PrintedReport> PrintedReports();
// A report printed with kNIReportAttrPrintDialog set takes Enter (print), Escape
// or Cancel (cancelled) from the scripted answers, and prints when none is queued.

// Monitor reported by GetMonitorAttribute.
void SetMonitorSize(int height, int width);
// Bounds RunUserInterface, waiting GetUserEvent and a question's wait for its
// answer: give up after `seconds` (real time) without an event, so a test
// never hangs.
void SetIdleTimeout(double seconds);

}  // namespace headless
