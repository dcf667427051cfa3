#include "platform/testing/accessibility_walk.h"

#include <QAccessible>
#include <QWidget>

#include <map>
#include <utility>

namespace plat::testing {

namespace {

bool showsAValue(QAccessible::Role role) {
    switch (role) {
    case QAccessible::StaticText:
    case QAccessible::EditableText:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::PushButton:
    case QAccessible::ProgressBar:
    case QAccessible::ScrollBar:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::MenuItem:
    case QAccessible::Window:
    case QAccessible::Dialog:
    case QAccessible::Graphic:
        return true;
    default:
        return false;
    }
}

// An "&" glued to the next character marks a mnemonic key; one standing between blanks is the
// ampersand that the window shows ("Output file for F0.1 & Fmax").
bool marksAMnemonic(const std::string& name) {
    for (std::size_t k = 0; k < name.size(); ++k) {
        if (name[k] != '&') continue;
        const bool alone =
            (k == 0 || name[k - 1] == ' ') && k + 1 < name.size() && name[k + 1] == ' ';
        if (!alone) return true;
    }
    return false;
}

struct Walk {
    std::vector<std::string> problems;
    // Who carries each name, by kind of control.
    std::map<std::pair<std::string, QAccessible::Role>, std::vector<std::string>> byName;

    void visit(QAccessibleInterface* iface, int depth) {
        if (!iface || !iface->isValid() || depth > 40) return;
        const QAccessible::State state = iface->state();
        if (state.invisible) return;
        const QAccessible::Role role = iface->role();
        if (role != QAccessible::Separator && (state.focusable || showsAValue(role))) {
            const std::string name = iface->text(QAccessible::Name).trimmed().toStdString();
            QObject* object = iface->object();
            const std::string who = object && !object->objectName().isEmpty()
                                        ? object->objectName().toStdString()
                                        : std::to_string(int(role));
            if (name.empty())
                problems.push_back(who + ": no name");
            else if (marksAMnemonic(name))
                problems.push_back(name + ": carries a mnemonic's \"&\"");
            else if (role != QAccessible::StaticText)
                // A label is read out beside the box it names, and a reader says each control's
                // kind with its name (a box and the scroll bar that steps it may share one): two
                // controls of one kind must not.
                byName[{name, role}].push_back(who);
        }
        for (int k = 0; k < iface->childCount(); ++k)
            visit(iface->child(k), depth + 1);
    }
};

} // namespace

std::vector<std::string> accessibilityProblems(QWidget* window) {
    // A reader finds nothing in a hidden window: walking one would prove nothing.
    if (!window->isVisible()) return {window->objectName().toStdString() + ": not shown"};
    Walk walk;
    walk.visit(QAccessible::queryAccessibleInterface(window), 0);
    for (const auto& [key, who] : walk.byName) {
        const std::string& name = key.first;
        if (who.size() < 2) continue;
        std::string list;
        for (const std::string& w : who)
            list += (list.empty() ? "" : ", ") + w;
        walk.problems.push_back(name + ": shared by " + list);
    }
    return walk.problems;
}

} // namespace plat::testing
