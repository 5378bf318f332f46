#include "listing_workbook.h"

#include "common.h"
#include "db/read_transaction.h"
#include "platform/codepage.h"
#include "platform/file_queue.h"
#include "platform/regional.h"
#include "platform/whole_file.h"
#include "provider_reader.h"
#include "provider_report.h"
#include "purchase_listing.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <array>
#include <charconv>
#include <future>
#include <memory>
#include <optional>
#include <utility>

namespace exporting {

namespace {

// Column widths in characters: each title's, a code's name and the item's name wider.
constexpr std::array<double, kListingColumns.size()> kWidths{8, 12, 10, 10, 14, 40, 7,  18, 10,
                                                             9, 18, 10, 22, 8,  14, 14, 14};

constexpr lxw_row_t kTitleRow = 7;  // the eighth line, below the heading

struct WorkbookClose {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// The number a value of a plain column stands for: its text with the regional decimal separator.
std::optional<double> numberOf(const QString& text) {
    const std::string digits =
        QString(text).replace(platform::decimalSeparator(), u'.').toStdString();
    double number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

// The cells of one workbook, row after row as the library wants them when it keeps little in
// memory.
class Sheet {
public:
    Sheet(lxw_workbook* workbook, lxw_worksheet* sheet)
        : sheet_(sheet),
          bold_(workbook_add_format(workbook)),
          twoDecimals_(workbook_add_format(workbook)) {
        format_set_bold(bold_);
        format_set_num_format(twoDecimals_, "0.00");
    }

    void text(lxw_row_t row, lxw_col_t column, const QString& value, lxw_format* format = nullptr) {
        if (!value.isEmpty())
            worksheet_write_string(sheet_, row, column, value.toUtf8().constData(), format);
    }
    void number(lxw_row_t row, lxw_col_t column, double value, bool twoDecimals) {
        worksheet_write_number(sheet_, row, column, value, twoDecimals ? twoDecimals_ : nullptr);
    }
    lxw_format* bold() const { return bold_; }

private:
    lxw_worksheet* sheet_;
    lxw_format* bold_;
    lxw_format* twoDecimals_;
};

// One item's row; the item is left out, as in the listing, when a code has no name.
bool writeItem(Sheet& sheet, lxw_row_t row, const ProviderReport& report, size_t item,
               const ListingNames& names) {
    std::array<const std::string*, kNamedCodes.size()> found{};
    for (size_t i = 0; i < kNamedCodes.size(); ++i) {
        const std::string_view code = report.items.utf8(item, kNamedCodes[i].first);
        found[i] = code.empty() ? nullptr : names.find(i, code);
        if (!found[i])
            return false;
    }
    size_t named = 0;
    size_t priced = 0;
    for (lxw_col_t column = 0; column < kListingColumns.size(); ++column) {
        const ListingColumn& listed = kListingColumns[column];
        const QString value = report.items.text(item, listed.position);
        std::optional<double> number;
        switch (listed.written) {
            case Written::Name:
                sheet.text(row, column, platform::fromWindows1250(*found[named++]));
                continue;
            case Written::TwoDecimals:
                number = listedPrice(report.prices[item][priced++], value);
                break;
            case Written::Plain:
                number = numberOf(value);
                break;
            case Written::Quoted:
                break;
        }
        // The code columns hold codes, "01" and "1" alike, which stay text.
        const bool numeric = listed.position == purchaseField("Tetelsorszam") ||
                             listed.position == purchaseField("Vasaroltmenny") ||
                             listed.written == Written::TwoDecimals;
        if (numeric && number)
            sheet.number(row, column, *number, listed.written == Written::TwoDecimals);
        else
            sheet.text(row, column, value);
    }
    return true;
}

void fill(lxw_workbook* workbook, const ProviderReport& report, const ListingNames& names) {
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, nullptr);
    Sheet sheet(workbook, worksheet);
    for (lxw_col_t column = 0; column < kWidths.size(); ++column)
        worksheet_set_column(worksheet, column, column, kWidths[column], nullptr);
    worksheet_freeze_panes(worksheet, kTitleRow + 1, 0);
    const QStringList heading = listingHeading(report);
    for (lxw_row_t row = 0; row < heading.size(); ++row)
        sheet.text(row, 0, heading[row], row == 0 ? sheet.bold() : nullptr);
    for (lxw_col_t column = 0; column < kListingColumns.size(); ++column)
        sheet.text(kTitleRow, column, QString::fromUtf16(kListingColumns[column].title),
                   sheet.bold());
    lxw_row_t row = kTitleRow + 1;
    for (size_t item = 0; item < report.items.rows(); ++item) {
        if (writeItem(sheet, row, report, item, names))
            ++row;
    }
}

}  // namespace

QString workbookFileName(const QString& adosajat, const QString& year, const QString& quarter) {
    return listingFileName(adosajat, year, quarter) + u'x';
}

void writeListingWorkbook(const QString& path, const ProviderReport& report,
                          const ListingNames& names) {
    const QString temporary = path + QStringLiteral(".tmp");
    // The library keeps the cells until the workbook is closed: faster than its mode that writes
    // each row out at once. Its temporary files go where the user's others go.
    lxw_workbook_options options{};
    QByteArray temporaryFolder = QFile::encodeName(QDir::tempPath());
    options.tmpdir = temporaryFolder.data();
    std::unique_ptr<lxw_workbook, WorkbookClose> workbook(
        workbook_new_opt(QFile::encodeName(temporary).constData(), &options));
    if (!workbook)
        throw platform::FileFailure(QStringLiteral("Cannot create file"),
                                    QDir::toNativeSeparators(path), platform::systemReason(ENOMEM));
    fill(workbook.get(), report, names);
    const lxw_error closed = workbook_close(workbook.release());
    if (closed != LXW_NO_ERROR) {
        QFile::remove(temporary);
        throw platform::FileFailure(QStringLiteral("Cannot write file"),
                                    QDir::toNativeSeparators(path),
                                    QString::fromUtf8(lxw_strerror(closed)));
    }
    platform::renameIntoPlace(temporary, path);
}

QString noListingText(const QString& year, const QString& quarter) {
    return QStringLiteral(
               "Nincs beszerzési lista a(z) %1. év %2. negyedévére: nincs "
               "adatszolgáltatói adatlapja.")
        .arg(year, quarter);
}

// Every other workbook is written on the file queue's thread while this one reads and writes
// the next, so that both processors work: a workbook costs milliseconds, most of them in the
// library and its compression. At most one waits there, so that few reports are held.
QStringList writeListingWorkbooks(const QString& year, const QString& quarter) {
    const db::ReadTransaction reading;
    ProviderReader reader;
    const ListingNames names;
    platform::FileQueue other;
    std::future<void> pending;
    QStringList written;
    for (const QString& adosajat : periodProviders(year, quarter)) {
        auto report = std::make_shared<ProviderReport>();
        reader.readReport(*report, adosajat, year, quarter);
        if (!report->misfits.isEmpty())
            continue;
        const QString name = workbookFileName(report->adosajat, year, quarter);
        const QString path = kListingFolder + name;
        if (!pending.valid()) {
            pending =
                other.later([report, path, &names] { writeListingWorkbook(path, *report, names); });
        } else {
            writeListingWorkbook(path, *report, names);
            std::exchange(pending, {}).get();
        }
        written.append(name);
    }
    if (pending.valid())
        pending.get();
    return written;
}

}  // namespace exporting
