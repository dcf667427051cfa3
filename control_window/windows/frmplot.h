#pragma once
// The graph window: every series of the control window is edited here by dragging its points
// up and down. Releasing the right or middle button closes the window; a double-click outside
// the plot box saves the picture as a bitmap.
//
// From the keyboard: Escape or Return closes the window (the values stay as they are shown),
// Ctrl+S saves the picture, Left and Right (Tab and Shift+Tab, Home and End) choose a point and
// Up and Down (Page Up and Page Down, ten times as far) move it as a drag would.
#include "platform/form.h"

namespace cw {

class frmPlot : public plat::Form {
  public:
    frmPlot();

    void Form_MouseDown(int button, int shift, float x, float y) override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    void Form_MouseUp(int button, int shift, float x, float y) override;
    void Form_DblClick() override;
    void Form_KeyDown(int keyCode, int shift) override;

    // Moves the point under x (if any) to height y, clamped to ymin..ymax, and redraws the
    // curve; remembers (x, y) as the last mouse position.
    void movepoint(float x, float y);
    // Asks for a bitmap name and saves the picture; a cancelled dialog hides the window.
    void saveplot();

    bool dragging() const { return dragging_; }
    float lastY() const { return lasty_; }

  private:
    void drawCurve(uint32_t color);
    void close();
    void choosePoint(int k);
    void stepChosenPoint(int steps);

    int chosen_ = 0; // the point the keys move; 0 while the window shows no key mark

    bool dragging_ = false;
    float lastx_ = 0;
    float lasty_ = 0;
};

} // namespace cw
