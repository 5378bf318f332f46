#pragma once

#include "provider_report.h"

#include <QDate>
#include <QString>

#include <string>

// The cover note that accompanies one data provider's report, laid out for a monospaced printer
// font.
namespace exporting {

// The lines every note begins with: the collecting organisation's heading, from the settings,
// and the subject.
QString coverNoteHeading();

// The bytes of the provider's note, dated the day given.
std::string coverNote(const ProviderReport& report, const QString& heading, QDate date);

}  // namespace exporting
