#include "platform/plotdescription.h"

#include <QString>
#include <QWidget>

#include "platform/form.h"
#include "platform/numtext.h"

namespace plat {

namespace {

// A title as it is read out: the blanks that place it on the plot are dropped.
std::string named(const std::string& title, const char* fallback) {
    const QString text = QString::fromStdString(title).simplified();
    return text.isEmpty() ? fallback : text.toStdString();
}

} // namespace

std::string seriesDescription(const std::string& series, const std::string& xTitle, float xmin,
                              float xmax, const std::string& yTitle, float ymin, float ymax) {
    const std::string x = named(xTitle, "x"), y = named(yTitle, "y");
    return named(series, "Series") + " against " + x + ": " + x + " from " + strSingle(xmin) +
           " to " + strSingle(xmax) + ", " + y + " from " + strSingle(ymin) + " to " +
           strSingle(ymax) + ".";
}

void describeDrawing(Form& form, const std::string& description) {
    QWidget* surface = form.client() ? form.client() : form.widget();
    surface->setAccessibleName(QString::fromStdString(form.caption()));
    surface->setAccessibleDescription(QString::fromStdString(description));
}

} // namespace plat
