#pragma once
// The plotting core that the three viewers share: the screen class, the plot window with its
// mouse rule and save, the hidden text canvas, rotated titles, tick helpers, the start window
// with its file dialog and option-button pattern, and the start-up procedure with its wait loop.
//
// A viewer derives its start window from StartWindow, handing it a StartConfig (caption, option
// buttons, check box, command-line ending, dialog title and filter, caption and clearing rules),
// wires each option with onOption(), and its main() returns runViewer<its start window>(argc,
// argv, "Name").
#include "platform/form.h"
#include "platform/surface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace viewers {

// ---- Module state shared by the viewers ----------------------------------------------------

// 1 on screens up to 1050 pixels wide, 2 on wider ones; set by setscreenclass at start-up.
extern int16_t screenclass;
// The data file to plot; empty when none is chosen. A bare name from the command line (read from
// the current folder) or the full path from the open dialog.
extern std::string plotfile;

void setscreenclass();

// ---- Plot window and text canvas ------------------------------------------------------------

// The plot window. Its persistent image is the surface; the plotters size and scale it.
// Left button hides it; any other button offers "Save Plot" and writes a BMP under the name
// exactly as chosen, then hides it; a cancelled dialog only hides it. From the keyboard, Escape,
// Return and Space hide it as the left button does, and Ctrl+S saves it as the other buttons do.
class frmPlot : public plat::Form {
  public:
    frmPlot();
    void Form_MouseDown(int button, int shift, float x, float y) override;
    void Form_KeyDown(int keyCode, int shift) override;
    std::string bitmapname; // the name chosen in the last save dialog
};

// The hidden canvas on which rotated titles are printed upright before they are turned.
// It is never shown.
class scratch : public plat::Form {
  public:
    scratch();
};

// The plot window's surface (loads the window on first use, hidden).
plat::Surface& plotSurface();

// Clears the plot window to white before a new plot is drawn on it (and forgets the series that
// its description named).
void clearPlotWindow();

// Adds a series drawn on the plot window to what the window says it shows to assistive
// technology, with its axes' titles and ranges.
void describeSeries(const std::string& series, const std::string& xTitle, float xmin, float xmax,
                    const std::string& yTitle, float ymin, float ymax);

// Draws text in black on the plot window at 0, 90 or 180 degrees (any other angle draws
// nothing), the image placed from the pixel offsets given; leaves the plot window measuring in
// pixels.
void printrotated(const std::string& text, const std::string& fontName, float fontSize, int angle,
                  float xOffset, float yOffset);

// The x offset of a title drawn at 180 degrees on the right-hand side. The second screen class
// has its own offset, made for plot windows that were wider in pixels on such screens; here a
// plot window has the same pixel size on every screen, so that offset is used only when the
// whole title still lands inside the plot window, else the first class's.
float rightTitleOffset(const std::string& text, const std::string& fontName, float fontSize,
                       float class1Offset, float class2Offset);

// Sizes the plot window's client area (twips), measures it in twips, then sets the user scale
// with (x1, y1) at the top left and (x2, y2) at the bottom right.
void scalePlotWindow(int widthTwips, int heightTwips, float x1, float y1, float x2, float y2);

// Moves the text position to (x, y) the way the plotters do: by setting one white pixel there.
void moveTextTo(float x, float y);

// ---- Ticks -----------------------------------------------------------------------------------

// The values of the loop "for v = from to limit step step" in single precision. A step that is
// not positive and finite gives the first value alone (when from <= limit), and no loop gives
// more than 1000 values, so every tick loop ends.
std::vector<float> tickValues(float from, float limit, float step);

// Labels of x-axis ticks by the value's band: below 10 "0.0", below 100 "#00", below 1000
// "#000.0", below 10000 the given thousands picture ("#0000" for the log viewer, "#00000" for
// the table viewers), from 100000 up "#00000". The band 10000 to 99999 has no picture of its
// own: such a tick keeps the previous tick's picture, and a first tick there is written as
// plain number text. One labeller serves one axis.
class XTickLabeller {
  public:
    explicit XTickLabeller(std::string thousandsPicture);
    std::string label(float x);

  private:
    std::string thousands_;
    std::string picture_; // empty until a band has chosen one
};

// ---- Messages --------------------------------------------------------------------------------

// The message of a file that a viewer cannot plot: names the file and what is wrong. The
// option then returns to the start window without drawing.
void reportPlotProblem(const std::string& file, const std::string& what);

// The name to open for a plot file: a lower-cased command-line name that is missing as such
// opens the one file of its folder whose name matches it without regard to case.
std::string resolvePlotFile(const std::string& name);

// ---- Start window and start-up ---------------------------------------------------------------

struct StartConfig {
    std::string caption; // at design
    // Option buttons in their order on the window: name ("Option9") and caption.
    std::vector<std::pair<std::string, std::string>> options;
    std::string checkCaption; // caption of the check box "Chk"; empty: no check box
    std::string ending;       // accepted command-line ending: "log", "pmo", "yro"
    std::string dialogTitle;  // open-dialog title
    std::string dialogFilter; // open-dialog filter
    // The caption follows the chosen file (at load for a command-line name, and after each
    // successful open dialog).
    bool captionFollowsFile = false;
    // A click clears every option button of the window (the others first, the clicked one
    // last); otherwise only the clicked one.
    bool clearAllOptions = false;
};

// The start window "start": the option buttons and check box of the config, then "exit" and the
// dialog button "File to plot" (run). A viewer's start window derives from it, provides
// static StartConfig startConfig() and passes it here, and wires its options in its constructor.
class StartWindow : public plat::Form {
  public:
    explicit StartWindow(StartConfig config);
    ~StartWindow() override;

    const StartConfig& config() const { return config_; }

    // The option button "Option<n>"; the check box "Chk" (nullptr when there is none).
    plat::OptionButton& option(int n);
    plat::CheckBox* Chk() { return chk_.get(); }
    plat::CommandButton& runButton() { return *run_; }
    plat::CommandButton& exitButton() { return *exit_; }

    // Wires option n to the common pattern: clear the others (when the config says so); when a
    // file is chosen, run draw (which reads the file afresh and plots); clear the clicked button.
    void onOption(int n, std::function<void()> draw);

    void Form_Load() override;
    void run_Click();
    void exit_Click();

  private:
    StartConfig config_;
    std::vector<std::pair<int, std::unique_ptr<plat::OptionButton>>> options_;
    std::unique_ptr<plat::CheckBox> chk_;
    std::unique_ptr<plat::CommandButton> exit_;
    std::unique_ptr<plat::CommandButton> run_;
};

// Unloads every open window, last first.
void exit_Click();

// The start-up procedure of every viewer: screen class, command line to plotfile, the start
// window shown modeless, the wait loop until no window is shown, then every window unloaded.
void Main(const std::string& ending, const std::function<plat::Form&()>& startWindow);

// Start is the viewer's start window; it provides static StartConfig startConfig().
template <class Start> void Main() {
    Main(Start::startConfig().ending, []() -> plat::Form& { return plat::instance<Start>(); });
}

// The program's main(): makes the application, stores the command line and the message title,
// and runs the start-up procedure.
int runViewer(int argc, char** argv, const std::string& appTitle,
              const std::function<void()>& main);

template <class Start> int runViewer(int argc, char** argv, const std::string& appTitle) {
    return runViewer(argc, argv, appTitle, [] { Main<Start>(); });
}

} // namespace viewers
