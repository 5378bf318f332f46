// The check routines over any typed value. The message boxes are answered at once, the answer
// taken from the input; what a routine accepts must satisfy its rule.

#include "checks/check_methods.h"
#include "platform/message_box.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <memory>

using platform::Button;

namespace {

class AnsweringService : public platform::MessageService {
public:
    Button answer = Button::Ok;
    int shown = 0;
    Button show(platform::MessageKind, const QString& text, const platform::Buttons&) override {
        if (text.isEmpty())
            std::abort();
        ++shown;
        return answer;
    }
};

AnsweringService* service = nullptr;

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool allDigits(const QString& value) {
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

qsizetype characters(const QString& value) {
    return value.normalized(QString::NormalizationForm_C).toUcs4().size();
}

// A check that fails has told the user exactly once why; one that passes has shown nothing,
// unless it may ask a question that the user answered.
void requireOneBoxPerFailure(bool failed, bool mayAsk = false) {
    require(failed ? service->shown == 1
                   : (service->shown == 0 || (mayAsk && service->shown == 1)));
    service->shown = 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    auto owned = std::make_unique<AnsweringService>();
    service = owned.get();
    platform::MessageService::install(std::move(owned));
    return 0;
}

// Input: one byte of count and answer, then the value as UTF-8; a zero byte splits off a name
// text for CheckCode.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int count = data[0] % 16;
    service->answer = (data[0] & 0x80) ? Button::No : Button::Ok;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    const qsizetype split = rest.indexOf('\0');
    const QString value = QString::fromUtf8(split < 0 ? rest : rest.left(split));
    const QString name = split < 0 ? QString() : QString::fromUtf8(rest.mid(split + 1));
    const QString label = QStringLiteral("mező");

    const bool digitsFailed = CheckMethods::CheckDigits(label, value, count);
    require(digitsFailed || (value.size() == count && allDigits(value)));
    requireOneBoxPerFailure(digitsFailed);

    const bool lengthFailed = CheckMethods::CheckMinLength(label, value, count);
    require(lengthFailed == (characters(value) < count));
    requireOneBoxPerFailure(lengthFailed);

    const bool emailFailed = CheckMethods::CheckEmail(label, value);
    require(emailFailed || value.contains(u'@') ||
            value.compare(u"nincs", Qt::CaseInsensitive) == 0);
    requireOneBoxPerFailure(emailFailed);

    const bool taxFailed = CheckMethods::CheckTaxNumber(label, value);
    require(taxFailed || (value.size() == 8 && allDigits(value)));
    requireOneBoxPerFailure(taxFailed, true);

    const bool codeFailed = CheckMethods::CheckCode(label, value, name, count);
    require(codeFailed || !name.startsWith(QStringLiteral("Nincs ilyen kódú")));
    requireOneBoxPerFailure(codeFailed);
    return 0;
}
