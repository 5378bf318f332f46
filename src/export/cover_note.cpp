#include "cover_note.h"

#include "data_fields.h"
#include "platform/codepage.h"
#include "platform/settings.h"

namespace exporting {

namespace {

// Every line that is not empty begins with nine blanks.
const QString kIndent = QStringLiteral("         ");

// The note is put together whole and written in one piece.
class CoverNote {
public:
    explicit CoverNote(const QString& beginning = {}) : text_(beginning) { text_.reserve(2048); }

    void empty(int lines) {
        for (int i = 0; i < lines; ++i)
            text_ += QLatin1StringView("\r\n");
    }
    void line(QStringView text) {
        text_ += kIndent;
        text_ += text;
        text_ += QLatin1StringView("\r\n");
    }
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace

QString coverNoteHeading() {
    const platform::AddresseeSetting addressee = platform::addresseeSetting();
    CoverNote note;
    note.empty(7);
    note.line(addressee.name);
    note.line(addressee.address);
    note.line(QStringLiteral("Postacím: ") + addressee.postalAddress);
    note.empty(2);
    note.line(QStringLiteral("Iktató szám:"));
    note.line(QStringLiteral("Melléklet:"));
    note.empty(2);
    note.line(QStringLiteral("Tárgy: Az Egészségügyi intézmények árinformációi,"));
    note.line(QStringLiteral("intézményi beszerzések adatjelentésének megküldése"));
    note.line(QStringLiteral("OSAP 9052/07 (") + addressee.decree + u')');
    note.empty(3);
    return note.text();
}

std::string coverNote(const ProviderReport& report, const QString& heading, QDate date) {
    CoverNote note(heading);
    const auto column = [&report](int field) { return report.text(field); };
    note.line(QStringLiteral("Az adatszolgáltatás időszaka (év, negyedév): ") + report.year +
              QStringLiteral(", ") + report.quarter);
    note.empty(2);
    note.line(QStringLiteral("Az adatszolgáltató intézmény"));
    note.line(QStringLiteral("Neve: ") + column(institutionField("Intnev")));
    note.line(QStringLiteral("KSH törzsszáma: ") + report.adosajat);
    note.line(QStringLiteral("Címe: ") + column(institutionField("Irsz")) + u' ' +
              column(institutionField("Telepules")) + u' ' + column(institutionField("Utca")) +
              u' ' + column(institutionField("Hsz")));
    note.empty(1);

    note.line(QStringLiteral("A negyedévben elküldött beszerzések tételszáma (tétel sorszám): ") +
              QString::number(report.itemCount));
    note.empty(2);
    note.line(QStringLiteral("Az adatszolgáltatásért felelős vezető"));
    note.empty(1);
    note.line(QStringLiteral("Neve        : ") + column(institutionField("Vezetonev")));
    note.line(QStringLiteral("e-mail címe : ") + column(institutionField("Vezetomail")));
    note.line(QStringLiteral("telefonszáma: ") + column(institutionField("Vezetotel")));
    note.empty(2);
    note.line(QStringLiteral("A kitöltő"));
    note.line(QStringLiteral("Neve        : ") + column(institutionField("Toltnev")));
    note.line(QStringLiteral("e-mail címe : ") + column(institutionField("Toltmail")));
    note.line(QStringLiteral("telefonszáma: ") + column(institutionField("Tolttel")));
    note.empty(4);
    note.line(QStringLiteral("Kelt: ............, ") + date.toString(u"yyyy.MM.dd."));
    note.empty(4);
    note.line(QStringLiteral("Aláírás: ...................."));
    return platform::toWindows1250(note.text()).toStdString();
}

}  // namespace exporting
