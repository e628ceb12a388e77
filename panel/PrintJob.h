// One print job: a picture of each chosen window, one window per page, with
// the title and date above and the program's name and the page number below.
#pragma once

#include <string>
#include <vector>

struct PrintJob {
  std::string title;
  std::string printer;      // a printer's name, or a file name ending in ".pdf"
  bool portrait = true;
  std::vector<int> panels;  // the windows, in page order
};

// The margin (inches, all four sides) of print attempt 0, 1, 2, ...: 1.25,
// then 0.2 wider each time. False once that would pass 3.0.
bool PrintMarginForAttempt(int attempt, double* margin);

// Prints the job. A printer that cannot print that near the paper's edge is
// asked again with wider margins while they stay within 3.0; any other failure
// ends the job. Returns the report library's last status (0: printed).
// User-interface thread.
int PrintPanels(const PrintJob& job);
