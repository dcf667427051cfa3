#include "platform/layout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QWidget>

#include <utility>

namespace plat {

// ---- Container -------------------------------------------------------------------------------

Container::~Container() = default;

QGridLayout* Container::grid() {
    if (!grid_) grid_ = new QGridLayout(containerWidget());
    return ownRows_ ? ownRows_ : grid_;
}

void Container::nextColumn() {
    grid();
    ++column_;
    row_ = 0;
    ownRows_ = nullptr;
}

void Container::nextColumnOfItsOwn() {
    QGridLayout* g = grid();
    if (!ownRows_) {
        // Below the rows made so far a row takes up what the new column needs beyond them, so that
        // those rows keep their natural height.
        g = grid_;
        g->setRowStretch(g->rowCount(), 1);
    }
    ++column_;
    row_ = 0;
    ownRows_ = new QGridLayout;
    ownRows_->setContentsMargins(0, 0, 0, 0);
    grid_->addLayout(ownRows_, 0, column_ * 2, -1, 2, Qt::AlignTop);
}

void Container::sameRow() {
    sameRow_ = true;
}

void Container::place(QWidget* field, QWidget* label) {
    QGridLayout* g = grid();
    const int column = ownRows_ ? 0 : column_;
    if (std::exchange(sameRow_, false) && lastField_) {
        if (!rowOfLast_) {
            // The field cell of the control before becomes a row that holds both.
            auto* row = new QWidget;
            rowOfLast_ = new QHBoxLayout(row);
            rowOfLast_->setContentsMargins(0, 0, 0, 0);
            delete g->replaceWidget(lastField_, row);
            rowOfLast_->addWidget(lastField_);
        }
        if (label) rowOfLast_->addWidget(label);
        rowOfLast_->addWidget(field);
        lastField_ = field;
        return;
    }
    lastField_ = field;
    rowOfLast_ = nullptr;
    if (label) {
        g->addWidget(label, row_, column * 2);
        g->addWidget(field, row_, column * 2 + 1);
    } else {
        g->addWidget(field, row_, column * 2, 1, 2);
    }
    ++row_;
}
} // namespace plat
