#include "platform/DateTimeText.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace platform {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t JulianDayOf1970 = 2440588;

std::int64_t DayOf(std::int64_t localSeconds) {
    return localSeconds / SecondsPerDay - (localSeconds % SecondsPerDay < 0 ? 1 : 0);
}

// Qt's long time format names the time zone ("t"); a list of local times does not need it.
QString WithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (quoted || c != u't') {
            result += c;
        }
    }
    return result.trimmed();
}

} // namespace

std::string ShortDateText(std::int64_t localSeconds) {
    const QDate date = QDate::fromJulianDay(JulianDayOf1970 + DayOf(localSeconds));
    return QLocale::system().toString(date, QLocale::ShortFormat).toStdString();
}

std::string LongTimeText(std::int64_t localSeconds) {
    const auto secondOfDay = static_cast<int>(localSeconds - DayOf(localSeconds) * SecondsPerDay);
    const QLocale locale = QLocale::system();
    const QTime time = QTime(0, 0).addSecs(secondOfDay);
    return locale.toString(time, WithoutZone(locale.timeFormat(QLocale::LongFormat))).toStdString();
}

} // namespace platform
