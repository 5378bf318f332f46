// The cover note that accompanies one data provider's report, laid out for a monospaced printer
// font.

#include "common.h"
#include "platform/codepage.h"
#include "platform/settings.h"
#include "save_run.h"

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

    void write(const QString& path, platform::FileQueue* files) const {
        platform::TextFile file(path, files);
        const QByteArray encoded = platform::toWindows1250(text_);
        file.writeEncodedLines({encoded.constData(), static_cast<size_t>(encoded.size())});
        file.close();
    }

private:
    QString text_;
};

// The lines every note begins with, the collecting organisation's heading (from the settings)
// and the subject.
QString heading() {
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

}  // namespace

void SaveRun::WriteCoverNote(const QString& adosajat, const QString& year, const QString& quarter) {
    CoverNote note(heading());
    const QVariantList key{adosajat, year, quarter};
    const auto column = [this, &key](int field) { return recordText(key, field); };
    note.line(QStringLiteral("Az adatszolgáltatás időszaka (év, negyedév): ") + year +
              QStringLiteral(", ") + quarter);
    note.empty(2);
    note.line(QStringLiteral("Az adatszolgáltató intézmény"));
    note.line(QStringLiteral("Neve: ") + column(institutionField("Intnev")));
    note.line(QStringLiteral("KSH törzsszáma: ") + adosajat);
    note.line(QStringLiteral("Címe: ") + column(institutionField("Irsz")) + u' ' +
              column(institutionField("Telepules")) + u' ' + column(institutionField("Utca")) +
              u' ' + column(institutionField("Hsz")));
    note.empty(1);

    note.line(QStringLiteral("A negyedévben elküldött beszerzések tételszáma (tétel sorszám): ") +
              itemCount(key));
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
    note.line(QStringLiteral("Kelt: ............, ") + today_().toString(u"yyyy.MM.dd."));
    note.empty(4);
    note.line(QStringLiteral("Aláírás: ...................."));
    note.write(kCoverNoteFolder + reportFileName(adosajat, year, quarter, QStringLiteral("KJ")),
               files_.get());
}

}  // namespace exporting
