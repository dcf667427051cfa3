#pragma once
// Text between the platform's std::string and Qt's QString, for the window and control code.
#include <QString>

#include <string>

namespace plat {

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s) {
    return s.toStdString();
}

} // namespace plat
