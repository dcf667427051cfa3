#pragma once
// What assistive technology sees of option buttons, check boxes and menu entries, where Qt's own
// view of them would mislead it.
#include <QRadioButton>

class QObject;

namespace plat {

// A click always selects the button (a selected option is not cleared by clicking it again);
// exclusivity is kept by the container, so code can clear a button as well.
class OptionWidget : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override { setChecked(true); }
};

const char* const kMenuEntryProperty = "veskMenuEntry";
const char* const kOptionProperty = "veskOptionButton";
const char* const kCheckBoxProperty = "veskCheckBox";
const char* const kDecorationProperty = "veskDecoration";

// Marks an object for this layer's view of it. Qt may have made and kept an interface of its own
// while the object was being built; that one is dropped so that the next query makes ours.
void markAccessible(QObject* object, const char* property);

} // namespace plat
