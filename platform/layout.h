#pragma once
// The grid that a window or a frame lays its controls out in.
#include <vector>

class QWidget;
class QGridLayout;
class QBoxLayout;

namespace plat {

class Form;
class OptionButton;

// Something that holds controls: a window or a frame. Controls are laid out in a grid in the
// order they are made: each takes the next row of the current column group (a labelled control
// takes a label cell and a field cell); nextColumn() starts a new column group at row 0.
class Container {
  public:
    virtual ~Container();
    virtual QWidget* containerWidget() = 0;
    virtual Form& form() = 0;
    void nextColumn();
    // The same, for a column whose rows do not line up with those before it (a column of frames
    // beside a column of boxes): each column keeps its rows at their natural height.
    void nextColumnOfItsOwn();
    // Places a control widget (with an optional label widget) at the next free grid position.
    void place(QWidget* field, QWidget* label = nullptr);
    // The next control stands in the row of the one before, to the right of its field, as a box
    // that belongs with its neighbour (a first and a last year) does.
    void sameRow();

    // Option buttons made in this container; selecting one clears the others.
    std::vector<OptionButton*> optionButtons;

  private:
    QGridLayout* grid();
    QGridLayout* grid_ = nullptr;
    QGridLayout* ownRows_ = nullptr; // the grid of a column of its own, while one is being made
    int row_ = 0;
    int column_ = 0;
    bool sameRow_ = false;
    QWidget* lastField_ = nullptr;
    QBoxLayout* rowOfLast_ = nullptr; // the row that holds the last field and its neighbours
};

} // namespace plat
