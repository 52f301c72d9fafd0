#include "platform/Locale.h"

#include <QLocale>

namespace platform {

std::string DecimalSeparator() {
    return QLocale::system().decimalPoint().toStdString();
}

std::string ThousandsSeparator() {
    return QLocale::system().groupSeparator().toStdString();
}

} // namespace platform
