// Event codes, attribute numbers, values and callback shapes of the
// user-interface calls. Texts passed through these calls are Latin-1 bytes.
#pragma once

#include <functional>

// ---- events -----------------------------------------------------------------
inline constexpr int EVENT_NONE = 0;
inline constexpr int EVENT_COMMIT = 1;
inline constexpr int EVENT_VAL_CHANGED = 2;
inline constexpr int EVENT_LEFT_CLICK = 3;
inline constexpr int EVENT_LEFT_DOUBLE_CLICK = 4;
inline constexpr int EVENT_RIGHT_CLICK = 5;
inline constexpr int EVENT_KEYPRESS = 7;  // eventData1 = key code (VAL_*_VKEY | modifiers, or the character)
inline constexpr int EVENT_GOT_FOCUS = 8;
inline constexpr int EVENT_LOST_FOCUS = 9;
inline constexpr int EVENT_CLOSE = 11;
inline constexpr int EVENT_PANEL_SIZE = 12;
inline constexpr int EVENT_PANEL_MOVE = 13;
inline constexpr int EVENT_END_TASK = 14;
inline constexpr int EVENT_DISCARD = 15;
inline constexpr int EVENT_DROP = 20;     // marker moving: eventData1 = new top, eventData2 = new left
inline constexpr int EVENT_DROPPED = 21;  // marker released: same data

// ---- results ----------------------------------------------------------------
inline constexpr int UIE_NO_ERROR = 0;
inline constexpr int UIE_FILE_NOT_FOUND = -1;
inline constexpr int UIE_BAD_FILE_FORMAT = -2;
inline constexpr int UIE_RESOURCE_NOT_FOUND = -3;
inline constexpr int UIE_INVALID_PANEL = -4;
inline constexpr int UIE_INVALID_CONTROL = -5;
inline constexpr int UIE_INVALID_ATTRIBUTE = -6;
inline constexpr int UIE_WRONG_CONTROL_KIND = -7;
inline constexpr int UIE_INDEX_OUT_OF_RANGE = -8;
inline constexpr int UIE_INVALID_PLOT = -9;
inline constexpr int UIE_INVALID_CURSOR = -10;
inline constexpr int UIE_INVALID_MENU_BAR = -11;
inline constexpr int UIE_INVALID_MENU_ITEM = -12;
inline constexpr int UIE_INVALID_BITMAP = -13;
inline constexpr int UIE_FILE_WRITE_ERROR = -14;
inline constexpr int UIE_NULL_POINTER = -15;
inline constexpr int UIE_INVALID_VALUE = -16;
inline constexpr int UIE_NOT_ON_UI_THREAD = -17;
inline constexpr int UIE_NO_EVENT = -18;
inline constexpr int UIE_INVALID_TOOLBAR = -19;
inline constexpr int UIE_OUT_OF_RESOURCES = -20;
inline constexpr int UIE_NOT_AVAILABLE = -21;  // the user cannot act on a dimmed or hidden item

// ---- control attributes ------------------------------------------------------
inline constexpr int ATTR_CTRL_VAL = 1;
inline constexpr int ATTR_VISIBLE = 2;
inline constexpr int ATTR_DIMMED = 3;
inline constexpr int ATTR_LABEL_TEXT = 4;        // string
inline constexpr int ATTR_LABEL_VISIBLE = 5;
inline constexpr int ATTR_TEXT_COLOR = 6;
inline constexpr int ATTR_TEXT_BGCOLOR = 7;
inline constexpr int ATTR_TEXT_POINT_SIZE = 8;
inline constexpr int ATTR_TEXT_BOLD = 9;
inline constexpr int ATTR_TEXT_JUSTIFY = 10;     // VAL_LEFT_JUSTIFIED, ...
inline constexpr int ATTR_FRAME_COLOR = 11;      // also the body colour of a marker or decoration
inline constexpr int ATTR_ON_COLOR = 12;         // LED, switches
inline constexpr int ATTR_OFF_COLOR = 13;
inline constexpr int ATTR_ON_TEXT = 14;          // string; binary switch, toggle button
inline constexpr int ATTR_OFF_TEXT = 15;
inline constexpr int ATTR_MIN_VALUE = 16;        // numeric
inline constexpr int ATTR_MAX_VALUE = 17;
inline constexpr int ATTR_INCR_VALUE = 18;
inline constexpr int ATTR_PRECISION = 19;        // digits after the decimal point
inline constexpr int ATTR_TOP = 20;
inline constexpr int ATTR_LEFT = 21;
inline constexpr int ATTR_WIDTH = 22;
inline constexpr int ATTR_HEIGHT = 23;
inline constexpr int ATTR_TOOLTIP_TEXT = 24;     // string
inline constexpr int ATTR_SHORTCUT_KEY = 25;     // key code as in EVENT_KEYPRESS
inline constexpr int ATTR_CTRL_MODE = 26;        // VAL_NORMAL, VAL_INDICATOR, VAL_HOT
inline constexpr int ATTR_CALLBACK_DATA = 27;    // (void*) through Get/SetCtrlAttribute's pointer overloads
inline constexpr int ATTR_CALLBACK_NAME = 28;    // string; bound through RegisterCallback
inline constexpr int ATTR_IMAGE_FILE = 29;       // string; picture, command button
inline constexpr int ATTR_SIZE_TO_TEXT = 30;     // text message: width follows the text
inline constexpr int ATTR_DRAG_AXIS = 31;        // marker: VAL_DRAG_VERTICAL, ...
inline constexpr int ATTR_CTRL_INDEX = 32;       // ring/list: selected index
inline constexpr int ATTR_CTRL_KIND = 33;        // read only: CTRL_* below
inline constexpr int ATTR_CONSTANT_NAME = 34;    // read only: the control's name in the panel file
// graph attributes (SetCtrlAttribute on a graph)
inline constexpr int ATTR_PLOT_AREA_TOP = 40;    // read only, pixels inside the graph
inline constexpr int ATTR_PLOT_AREA_LEFT = 41;
inline constexpr int ATTR_PLOT_AREA_WIDTH = 42;
inline constexpr int ATTR_PLOT_AREA_HEIGHT = 43;
inline constexpr int ATTR_PLOT_BGCOLOR = 44;
inline constexpr int ATTR_GRID_COLOR = 45;
inline constexpr int ATTR_XDIVISIONS = 46;
inline constexpr int ATTR_YDIVISIONS = 47;
inline constexpr int ATTR_XGRID_VISIBLE = 48;
inline constexpr int ATTR_YGRID_VISIBLE = 49;
inline constexpr int ATTR_XLABEL_VISIBLE = 50;   // tick labels of the axis
inline constexpr int ATTR_YLABEL_VISIBLE = 51;
inline constexpr int ATTR_NUM_CURSORS = 52;
inline constexpr int ATTR_ACTIVE_CURSOR = 53;
inline constexpr int ATTR_NUM_PLOTS = 54;        // read only
inline constexpr int ATTR_PLOT_MARGIN_TOP = 55;  // pixels between the graph's edge and its plot area
inline constexpr int ATTR_PLOT_MARGIN_LEFT = 56; // (axis labels, when shown, add to them)
inline constexpr int ATTR_PLOT_MARGIN_BOTTOM = 57;
inline constexpr int ATTR_PLOT_MARGIN_RIGHT = 58;
// graph cursor attributes (SetCursorAttribute)
inline constexpr int ATTR_CURSOR_COLOR = 60;
inline constexpr int ATTR_CURSOR_POINT_STYLE = 61;
inline constexpr int ATTR_CROSS_HAIR_STYLE = 62;
inline constexpr int ATTR_CURSOR_MODE = 63;      // VAL_CURSOR_NORMAL or VAL_CURSOR_CLAMPED look
inline constexpr int ATTR_CURSOR_ENABLED = 64;   // the user may drag it
// plot attributes (SetPlotAttribute)
inline constexpr int ATTR_TRACE_COLOR = 70;
inline constexpr int ATTR_PLOT_FILL_COLOR = 71;
inline constexpr int ATTR_TRACE_VISIBLE = 72;
inline constexpr int ATTR_PLOT_THICKNESS = 73;
// panel attributes (SetPanelAttribute); ATTR_TOP/LEFT/WIDTH/HEIGHT/VISIBLE also apply
inline constexpr int ATTR_TITLE = 80;            // string
inline constexpr int ATTR_BACKCOLOR = 81;
inline constexpr int ATTR_SIZABLE = 82;
inline constexpr int ATTR_PANEL_PARENT = 83;     // read only
inline constexpr int ATTR_PANEL_RESOURCE = 84;   // read only
inline constexpr int ATTR_ACTIVE_CONTROL = 85;
inline constexpr int ATTR_PANEL_MENU_BAR = 86;   // read only
inline constexpr int ATTR_PANEL_POPUP = 87;      // read only: shown as modal pop-up
inline constexpr int ATTR_FLOATING = 88;         // stays above the program's other windows
// menu bar attributes (SetMenuBarAttribute)
inline constexpr int ATTR_CHECKED = 90;
inline constexpr int ATTR_ITEM_NAME = 91;        // string: text of an item
inline constexpr int ATTR_MENU_NAME = 92;        // string: text of a menu
// monitor attributes (GetMonitorAttribute); ATTR_TOP/LEFT/WIDTH/HEIGHT
inline constexpr int ATTR_PRIMARY_MONITOR = 95;

// ---- values -------------------------------------------------------------------
inline constexpr int VAL_NORMAL = 0;             // control modes
inline constexpr int VAL_INDICATOR = 1;
inline constexpr int VAL_HOT = 2;
inline constexpr int VAL_LEFT_JUSTIFIED = 0;
inline constexpr int VAL_CENTER_JUSTIFIED = 1;
inline constexpr int VAL_RIGHT_JUSTIFIED = 2;
inline constexpr int VAL_DRAG_VERTICAL = 0;
inline constexpr int VAL_DRAG_HORIZONTAL = 1;
inline constexpr int VAL_DRAG_FREE = 2;

inline constexpr int VAL_IMMEDIATE_DRAW = 0;     // DeleteGraphPlot
inline constexpr int VAL_DELAYED_DRAW = 1;
inline constexpr int VAL_NO_DRAW = 2;
inline constexpr int VAL_ALL_PLOTS = -1;

inline constexpr int VAL_XAXIS = 0;              // SetAxisScalingMode
inline constexpr int VAL_LEFT_YAXIS = 1;
inline constexpr int VAL_MANUAL = 0;
inline constexpr int VAL_AUTOSCALE = 1;

inline constexpr int VAL_CURSOR_NORMAL = 0;      // ATTR_CURSOR_MODE: solid look
inline constexpr int VAL_CURSOR_CLAMPED = 1;     // dashed look: pulled back to an edge
inline constexpr int VAL_LONG_CROSS = 0;         // ATTR_CROSS_HAIR_STYLE: across the plot area
inline constexpr int VAL_SHORT_CROSS = 1;
inline constexpr int VAL_NO_CROSS = 2;
inline constexpr int VAL_NO_POINT = 0;           // ATTR_CURSOR_POINT_STYLE
inline constexpr int VAL_EMPTY_SQUARE = 1;
inline constexpr int VAL_SOLID_SQUARE = 2;
inline constexpr int VAL_EMPTY_CIRCLE = 3;
inline constexpr int VAL_SOLID_CIRCLE = 4;
inline constexpr int VAL_EMPTY_TRIANGLE = 5;
inline constexpr int VAL_SOLID_DIAMOND = 6;

inline constexpr int VAL_FULL_PANEL = 0;         // GetPanelDisplayBitmap scope
inline constexpr int VAL_VISIBLE_AREA = 1;

inline constexpr int VAL_DEFAULT_CURSOR = 0;     // SetMouseCursor
inline constexpr int VAL_POINTING_FINGER_CURSOR = 1;
inline constexpr int VAL_HOUR_GLASS_CURSOR = 2;
inline constexpr int VAL_CROSS_HAIR_CURSOR = 3;

inline constexpr int VAL_GENERIC_POPUP_BTN1 = 1; // GenericMessagePopup results
inline constexpr int VAL_GENERIC_POPUP_BTN2 = 2;
inline constexpr int VAL_GENERIC_POPUP_BTN3 = 3;

inline constexpr int VAL_NO_FILE_SELECTED = 0;   // FileSelectPopup results
inline constexpr int VAL_EXISTING_FILE_SELECTED = 1;
inline constexpr int VAL_NEW_FILE_SELECTED = 2;
inline constexpr int VAL_OK_BUTTON = 0;          // FileSelectPopup button labels (open modes)
inline constexpr int VAL_LOAD_BUTTON = 1;
inline constexpr int VAL_SELECT_BUTTON = 2;
inline constexpr int VAL_SAVE_BUTTON = 3;        // save mode

inline constexpr int MAX_PATHNAME_LEN = 260;

// Colours are 0xRRGGBB.
inline constexpr int VAL_BLACK = 0x000000;
inline constexpr int VAL_WHITE = 0xFFFFFF;
inline constexpr int VAL_RED = 0xFF0000;
inline constexpr int VAL_GREEN = 0x00FF00;
inline constexpr int VAL_BLUE = 0x0000FF;
inline constexpr int VAL_YELLOW = 0xFFFF00;
inline constexpr int VAL_GRAY = 0x808080;
inline constexpr int VAL_LT_GRAY = 0xCCCCCC;
inline constexpr int VAL_DK_GRAY = 0x404040;
inline constexpr int VAL_PANEL_GRAY = 0xC0C0C0;
inline constexpr int VAL_TRANSPARENT = 0x1000000;

// Key codes of EVENT_KEYPRESS: a character, or a virtual key, possibly with modifiers.
inline constexpr int VAL_SHIFT_MODIFIER = 0x10000;
inline constexpr int VAL_MENUKEY_MODIFIER = 0x20000;  // Ctrl
inline constexpr int VAL_ALT_MODIFIER = 0x40000;
inline constexpr int VAL_VKEY_MASK = 0xFF00;
inline constexpr int VAL_ASCII_KEY_MASK = 0x00FF;
inline constexpr int VAL_UP_ARROW_VKEY = 0x0100;
inline constexpr int VAL_DOWN_ARROW_VKEY = 0x0200;
inline constexpr int VAL_LEFT_ARROW_VKEY = 0x0300;
inline constexpr int VAL_RIGHT_ARROW_VKEY = 0x0400;
inline constexpr int VAL_PAGE_UP_VKEY = 0x0500;
inline constexpr int VAL_PAGE_DOWN_VKEY = 0x0600;
inline constexpr int VAL_HOME_VKEY = 0x0700;
inline constexpr int VAL_END_VKEY = 0x0800;
inline constexpr int VAL_ENTER_VKEY = 0x0900;
inline constexpr int VAL_ESC_VKEY = 0x0A00;
inline constexpr int VAL_TAB_VKEY = 0x0B00;
inline constexpr int VAL_BACKSPACE_VKEY = 0x0C00;
inline constexpr int VAL_DELETE_VKEY = 0x0D00;
inline constexpr int VAL_INSERT_VKEY = 0x0E00;
inline constexpr int VAL_F1_VKEY = 0x1000;
inline constexpr int VAL_F2_VKEY = 0x1100;
inline constexpr int VAL_F3_VKEY = 0x1200;
inline constexpr int VAL_F4_VKEY = 0x1300;
inline constexpr int VAL_F5_VKEY = 0x1400;
inline constexpr int VAL_F6_VKEY = 0x1500;
inline constexpr int VAL_F7_VKEY = 0x1600;
inline constexpr int VAL_F8_VKEY = 0x1700;
inline constexpr int VAL_F9_VKEY = 0x1800;
inline constexpr int VAL_F10_VKEY = 0x1900;
inline constexpr int VAL_F11_VKEY = 0x1A00;
inline constexpr int VAL_F12_VKEY = 0x1B00;

// ---- control kinds (ATTR_CTRL_KIND, NewCtrl) ----------------------------------------
enum ControlKind : int {
  CTRL_NUMERIC = 1,        // real number with min, max, increment, precision
  CTRL_RING = 2,           // list of items (label + value), one selected
  CTRL_TEXT_MSG = 3,       // read-only text
  CTRL_TEXT_BOX = 4,       // multi-line text
  CTRL_STRING = 5,         // one-line text input
  CTRL_LIST_BOX = 6,
  CTRL_BINARY_SWITCH = 7,  // 0/1 with on/off texts
  CTRL_TOGGLE_BUTTON = 8,  // 0/1
  CTRL_CHECK_BOX = 9,      // 0/1
  CTRL_COMMAND_BUTTON = 10,
  CTRL_LED = 11,           // 0/1 indicator
  CTRL_PICTURE = 12,       // image file
  CTRL_DECORATION = 13,    // frame or line
  CTRL_MARKER = 14,        // draggable mark: EVENT_DROP / EVENT_DROPPED
  CTRL_GRAPH = 15,         // plots and cursors
};

// ---- callbacks -------------------------------------------------------------------
// Controls, the main callback and toolbar items: (panel or toolbar, control or item, event, data, data1, data2).
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
using CtrlCallback = std::function<int(int panel, int control, int event, void* callbackData, int eventData1,
                                       int eventData2)>;
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1, int eventData2);
using PanelCallback = std::function<int(int panel, int event, void* callbackData, int eventData1, int eventData2)>;
using MenuCallbackPtr = void (*)(int menuBar, int menuItem, void* callbackData, int panel);
using MenuCallback = std::function<void(int menuBar, int menuItem, void* callbackData, int panel)>;
using DeferredCallback = std::function<void(void* callbackData)>;
