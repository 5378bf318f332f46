#include "checks/check_methods.h"
#include "checks/widgets/panel.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace CheckMethods;
using platform::Button;
using platform::MessageKind;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

namespace {

const QString kLengthOf8 = QStringLiteral("A 'törzsszám' nevű mezőnek 8 jegyből kell állnia!!!");
const QString kDigitsOnly = QStringLiteral("A 'törzsszám' nevű mező csak számjegyekből állhat!!!");
const QString kTaxQuestion = QStringLiteral(
    "A 'törzsszám' nevű mezőben megadott adószámnak ellenőrző karaktere hibás! Valóban ez az "
    "intézmény hivatalos adószáma?");

ShownBox warning(const QString& text) {
    return {MessageKind::Warning, text, {Button::Ok}};
}

}  // namespace

class TestCheckMethods : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkDigits_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("eight digits") << "12345678" << QStringList();
        QTest::newRow("empty: length, not digits") << "" << QStringList{kLengthOf8};
        QTest::newRow("seven") << "1234567" << QStringList{kLengthOf8};
        QTest::newRow("blank inside, once") << "1234 678" << QStringList{kDigitsOnly};
        QTest::newRow("three signs, once") << "1-2-3-45" << QStringList{kDigitsOnly};
        QTest::newRow("accented letter") << "1234567ő" << QStringList{kDigitsOnly};
        QTest::newRow("arabic-indic digit is no digit")
            << QString::fromUtf8("1234567\u0663") << QStringList{kDigitsOnly};
        QTest::newRow("emoji counts once")
            << QString::fromUcs4(U"1234567\U0001F600") << QStringList{kDigitsOnly};
    }

    void checkDigits() {
        QFETCH(QString, value);
        QFETCH(QStringList, messages);
        ScriptedMessages boxes;
        QCOMPARE(CheckDigits(QStringLiteral("törzsszám"), value, 8), !messages.isEmpty());
        QList<ShownBox> expected;
        for (const auto& text : messages)
            expected.append(warning(text));
        QCOMPARE(boxes.take(), expected);
    }

    void checkDigitsEmptyWithCountZeroPasses() {
        ScriptedMessages boxes;
        QVERIFY(!CheckDigits(QStringLiteral("x"), QString(), 0));
        QVERIFY(boxes.take().isEmpty());
    }

    void checkMinLength_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<QString>("message");
        const QString antsz = QStringLiteral("Adatszolgáltató ANTSZ kódja");
        QTest::newRow("filled") << "út"
                                << "a" << 1 << "";
        QTest::newRow("empty") << "út"
                               << "" << 1 << "A 'út' nevű mező nincs kitöltve!!!";
        QTest::newRow("short") << antsz << "abc" << 6
                               << "A 'Adatszolgáltató ANTSZ kódja' nevű mező nem lehet 6 "
                                  "karakternél rövidebb!!!";
        QTest::newRow("exactly six") << antsz << "abcdef" << 6 << "";
        QTest::newRow("seven") << antsz << "abcdefg" << 6 << "";
        // Characters are counted as the data file holds them: composed, one per code point.
        const QString tooShort = QStringLiteral(
            "A 'Adatszolgáltató ANTSZ kódja' nevű mező nem lehet 6 karakternél rövidebb!!!");
        QTest::newRow("three e with combining acute")
            << antsz << QStringLiteral("e\u0301e\u0301e\u0301") << 6 << tooShort;
        QTest::newRow("three emoji")
            << antsz << QString::fromUcs4(U"\U0001F600\U0001F600\U0001F600") << 6 << tooShort;
        QTest::newRow("six composed letters") << antsz << QStringLiteral("e\u0301bcdef") << 6 << "";
        QTest::newRow("empty with minimum 6") << antsz << "" << 6
                                              << "A 'Adatszolgáltató ANTSZ kódja' nevű mező nincs "
                                                 "kitöltve!!!";
    }

    void checkMinLength() {
        QFETCH(QString, label);
        QFETCH(QString, value);
        QFETCH(int, minimum);
        QFETCH(QString, message);
        ScriptedMessages boxes;
        QCOMPARE(CheckMinLength(label, value, minimum), !message.isEmpty());
        QCOMPARE(boxes.takeTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    void checkEmail_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("nincs") << "nincs" << true;
        QTest::newRow("NiNcS") << "NiNcS" << true;
        QTest::newRow("leading blank") << " nincs" << false;
        QTest::newRow("plain address") << "a@b.hu" << true;
        QTest::newRow("two dots in a row") << "a@b..hu" << true;
        QTest::newRow("nothing before at") << "@b.hu" << true;
        QTest::newRow("blanks before at") << "a b c@b.hu" << true;
        QTest::newRow("only dot last") << "a@bhu." << false;
        QTest::newRow("dot right after at") << "a@.b.hu" << false;
        QTest::newRow("second at") << "a@b.h@u" << false;
        QTest::newRow("dots only before at") << "a.b@hu" << false;
        QTest::newRow("no at") << "ab.hu" << false;
        QTest::newRow("dot last and inside") << "a@b.hu." << true;
    }

    void checkEmail() {
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        ScriptedMessages boxes;
        QCOMPARE(CheckEmail(QStringLiteral("kitöltő email címe"), value), !accepted);
        QCOMPARE(boxes.take(),
                 accepted ? QList<ShownBox>()
                          : QList<ShownBox>{warning(QStringLiteral(
                                "kitöltő email címe e-mail cím nem szabályos e-mail cím!!!"))});
    }

    void checkEmailEmpty() {
        ScriptedMessages boxes;
        QVERIFY(CheckEmail(QStringLiteral("vezető email címe"), QString()));
        QCOMPARE(boxes.takeTexts(),
                 QStringList{QStringLiteral(
                     "vezető email címe e-mail címet kötelező kitölteni! Amennyiben nincs e-mail "
                     "címe, kérem írja be a \"nincs\" szót!!!")});
    }

    void checkTaxNumber() {
        ScriptedMessages boxes;
        const QString label = QStringLiteral("törzsszám");
        QVERIFY(!CheckTaxNumber(label, QStringLiteral("12345676")));  // S = 150
        QVERIFY(boxes.take().isEmpty());

        const ShownBox question{MessageKind::Confirmation, kTaxQuestion, {Button::No, Button::Ok}};
        boxes.answer(Button::No);
        QVERIFY(CheckTaxNumber(label, QStringLiteral("12345670")));  // S = 144
        boxes.answer(Button::Ok);
        QVERIFY(!CheckTaxNumber(label, QStringLiteral("12345670")));
        boxes.answer(Button::None);  // closed from the title bar: the number stands
        QVERIFY(!CheckTaxNumber(label, QStringLiteral("12345670")));
        QCOMPARE(boxes.take(), (QList<ShownBox>{question, question, question}));

        QVERIFY(CheckTaxNumber(label, QStringLiteral("1234567")));
        QCOMPARE(boxes.takeTexts(), QStringList{kLengthOf8});
    }

    void checkCode() {
        ScriptedMessages boxes;
        const QString label = QStringLiteral("település");
        const QString notFound = QStringLiteral("Nincs ilyen kódú település!");
        QVERIFY(CheckCode(label, QStringLiteral("1234"), QString(), 5));
        QCOMPARE(
            boxes.takeTexts(),
            QStringList{QStringLiteral("A 'település' nevű mezőnek 5 jegyből kell állnia!!!")});

        QVERIFY(CheckCode(label, QStringLiteral("12345"), notFound, 5));
        QCOMPARE(boxes.take(), (QList<ShownBox>{{MessageKind::Plain, notFound, {Button::Ok}}}));

        QVERIFY(!CheckCode(label, QStringLiteral("12345"), QStringLiteral("Pécs"), 5));
        QVERIFY(
            !CheckCode(label, QStringLiteral("12345"), QStringLiteral("Ez: Nincs ilyen kódú"), 5));
        QVERIFY(
            !CheckCode(label, QStringLiteral("12345"), QStringLiteral("nincs ilyen kódú x"), 5));
        QVERIFY(!CheckCode(label, QStringLiteral("12345"), QString(), 5));
        QVERIFY(boxes.take().isEmpty());
    }

    void setPanelEnabled() {
        QGroupBox panel;
        auto* edit = new QLineEdit(&panel);
        auto* button = new QPushButton(&panel);
        auto* box = new QCheckBox(&panel);
        button->setEnabled(false);
        SetPanelEnabled(&panel, false);
        QVERIFY(!panel.isEnabled());
        QVERIFY(!edit->isEnabled());
        SetPanelEnabled(&panel, true);
        QVERIFY(panel.isEnabled());
        QVERIFY(edit->isEnabled());
        QVERIFY(button->isEnabled());
        QVERIFY(box->isEnabled());
    }
};

QTEST_MAIN(TestCheckMethods)
#include "test_check_methods.moc"
