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

#include <malloc.h>
#include <xlsxwriter.h>

#include <array>
#include <charconv>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace exporting {

namespace {

// Column widths in characters: each title's, a code's name and the item's name wider.
constexpr std::array<double, kListingColumns.size()> kWidths{8, 12, 10, 10, 14, 40, 7,  18, 10,
                                                             9, 18, 10, 22, 8,  14, 14, 14};

constexpr lxw_row_t kTitleRow = 7;  // the eighth line, below the heading

// The columns written as numbers when they hold one; the code columns hold codes, "01" and "1"
// alike, which stay text.
constexpr bool holdsNumbers(const ListingColumn& column) {
    return column.position == purchaseField("Tetelsorszam") ||
           column.position == purchaseField("Vasaroltmenny") ||
           column.written == Written::TwoDecimals;
}

struct WorkbookClose {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// glibc gives the top of its heap back to the system once 128 KiB of it are free, and zlib takes
// about 270 KiB for each of the ten parts of a workbook and frees them at the part's end: the
// memory would go back and come again, zeroed page by page, ten times a workbook, a fifth of the
// processor time. The heap is kept while the workbooks are written, then given back, and the
// threshold set to its default again (which glibc no longer moves by itself).
class HeapKept {
public:
    HeapKept() { mallopt(M_TRIM_THRESHOLD, kKept); }
    ~HeapKept() {
        mallopt(M_TRIM_THRESHOLD, kDefault);
        malloc_trim(0);
    }
    HeapKept(const HeapKept&) = delete;
    HeapKept& operator=(const HeapKept&) = delete;

private:
    static constexpr int kKept = 64 << 20;
    static constexpr int kDefault = 128 << 10;
};

// The number a value of a plain column stands for: its text with the regional decimal separator.
std::optional<double> numberOf(std::string_view text, std::string_view separator) {
    std::string digits(text);
    for (size_t at = 0; (at = digits.find(separator, at)) != std::string::npos; ++at)
        digits.replace(at, separator.size(), 1, '.');
    double number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

// The cells of one workbook, written as UTF-8 straight from the report, each code's name converted
// once while the items share it.
class Sheet {
public:
    Sheet(lxw_workbook* workbook, lxw_worksheet* sheet)
        : sheet_(sheet),
          bold_(workbook_add_format(workbook)),
          twoDecimals_(workbook_add_format(workbook)),
          separator_(QString(platform::decimalSeparator()).toStdString()) {
        format_set_bold(bold_);
        format_set_num_format(twoDecimals_, "0.00");
    }

    void text(lxw_row_t row, lxw_col_t column, std::string_view utf8,
              lxw_format* format = nullptr) {
        if (utf8.empty())
            return;
        terminated_.assign(utf8);  // the library takes a C string
        worksheet_write_string(sheet_, row, column, terminated_.c_str(), format);
    }
    void text(lxw_row_t row, lxw_col_t column, const QString& value, lxw_format* format = nullptr) {
        const QByteArray utf8 = value.toUtf8();
        text(row, column, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
             format);
    }
    void number(lxw_row_t row, lxw_col_t column, double value, bool twoDecimals) {
        worksheet_write_number(sheet_, row, column, value, twoDecimals ? twoDecimals_ : nullptr);
    }
    // The name (Windows-1250) of a code of the named table in that place, in UTF-8.
    std::string_view name(size_t table, const std::string& windows1250) {
        Converted& converted = names_[table];
        if (converted.from != &windows1250) {
            converted.from = &windows1250;
            converted.utf8 = platform::fromWindows1250(windows1250).toStdString();
        }
        return converted.utf8;
    }
    std::optional<double> number(std::string_view text) const { return numberOf(text, separator_); }
    lxw_format* bold() const { return bold_; }

private:
    struct Converted {
        const std::string* from = nullptr;
        std::string utf8;
    };

    lxw_worksheet* sheet_;
    lxw_format* bold_;
    lxw_format* twoDecimals_;
    std::string separator_;  // the regional decimal separator, UTF-8
    std::string terminated_;
    std::array<Converted, kNamedCodes.size()> names_;
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
        const std::string_view value = report.items.utf8(item, listed.position);
        std::optional<double> number;
        switch (listed.written) {
            case Written::Name:
                sheet.text(row, column, sheet.name(named, *found[named]));
                ++named;
                continue;
            case Written::TwoDecimals:
                number = listedPrice(report.prices[item][priced++],
                                     report.items.text(item, listed.position));
                break;
            case Written::Plain:
                if (holdsNumbers(listed))
                    number = sheet.number(value);
                break;
            case Written::Quoted:
                break;
        }
        if (number)
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

// The workbooks given to the other thread and not yet collected, oldest first.
using Queued = std::deque<std::future<void>>;

// Collects the workbooks the other thread has finished; one that failed is its Failure.
void collectFinished(Queued& queued) {
    while (!queued.empty() &&
           queued.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        queued.front().get();
        queued.pop_front();
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

// The workbooks are written on two threads, this one and the file queue's, so that both
// processors work: a workbook costs milliseconds, most of them in the library and its compression,
// and reading its report a tenth of that. This thread reads every report and gives the other
// thread the next workbook while fewer than two wait for it there, writing it itself otherwise:
// neither thread waits for the other, and at most three reports are held.
QStringList writeListingWorkbooks(const QString& year, const QString& quarter) {
    constexpr size_t kMostQueued = 2;
    const HeapKept heap;
    const db::ReadTransaction reading;
    ProviderReader reader;
    const ListingNames names;
    platform::FileQueue other;
    Queued queued;
    QStringList written;
    for (const QString& adosajat : periodProviders(year, quarter)) {
        auto report = std::make_shared<ProviderReport>();
        reader.readReport(*report, adosajat, year, quarter);
        if (!report->misfits.isEmpty())
            continue;
        const QString name = workbookFileName(report->adosajat, year, quarter);
        const QString path = kListingFolder + name;
        collectFinished(queued);
        if (queued.size() < kMostQueued)
            queued.push_back(other.later(
                [report, path, &names] { writeListingWorkbook(path, *report, names); }));
        else
            writeListingWorkbook(path, *report, names);
        written.append(name);
    }
    for (std::future<void>& workbook : queued)
        workbook.get();
    return written;
}

}  // namespace exporting
