#include "platform/failure.h"
#include "platform/translation.h"
#include "platform/widgets/widget_message_service.h"
#include "support/scripted_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;
using platform::Button;
using platform::MessageKind;

namespace {

struct SeenBox {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Shows a real box; while it is open, records what it looks like and acts on it.
Button showReal(MessageKind kind, const QString& text, const platform::Buttons& buttons,
                const std::function<void(QMessageBox*)>& act, SeenBox& seen) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->text(), text);
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        auto ordered = box->buttons();
        std::sort(ordered.begin(), ordered.end(),
                  [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
        for (auto* b : ordered)
            seen.buttons.append(b->text());
        if (auto* def = box->defaultButton())
            seen.defaultButton = def->text();
        act(box);
    });
    platform::WidgetMessageService service;
    return service.show(kind, text, buttons);
}

void clickButton(QMessageBox* box, const QString& caption) {
    for (auto* b : box->buttons()) {
        if (b->text() == caption)
            b->click();
    }
}

}  // namespace

class TestMessageBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void warningBox() {
        SeenBox seen;
        const Button answer = showReal(
            MessageKind::Warning, QStringLiteral("Vigyázat"), {Button::Ok},
            [](QMessageBox* b) { clickButton(b, u"OK"_s); }, seen);
        QCOMPARE(answer, Button::Ok);
        QCOMPARE(seen.title, QStringLiteral("Warning"));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.buttons, QStringList{u"OK"_s});
    }

    void confirmationOrderDefaultAndEscape() {
        SeenBox seen;
        const Button answer = showReal(
            MessageKind::Confirmation, QStringLiteral("Biztos?"), {Button::Ok, Button::No},
            [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, seen);
        QCOMPARE(answer, Button::No);
        QCOMPARE(seen.title, QStringLiteral("Confirm"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, (QStringList{u"&No"_s, u"OK"_s}));
        QCOMPARE(seen.defaultButton, QStringLiteral("OK"));

        SeenBox yesNo;
        QCOMPARE(showReal(
                     MessageKind::Confirmation, QStringLiteral("Kilép?"), {Button::No, Button::Yes},
                     [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }, yesNo),
                 Button::Yes);
        QCOMPARE(yesNo.buttons, (QStringList{u"&Yes"_s, u"&No"_s}));
        QCOMPARE(yesNo.defaultButton, QStringLiteral("&Yes"));

        SeenBox store;
        QCOMPARE(showReal(
                     MessageKind::Confirmation, QStringLiteral("Tárolja?"),
                     {Button::Yes, Button::No, Button::Cancel},
                     [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, store),
                 Button::Cancel);
        QCOMPARE(store.buttons, (QStringList{u"&Igen"_s, u"&Nem"_s, u"Mégse"_s}));
        QCOMPARE(store.defaultButton, QStringLiteral("&Igen"));
    }

    void closingFromTitleBarIsNoButton() {
        SeenBox seen;
        QCOMPARE(showReal(
                     MessageKind::Confirmation, QStringLiteral("Biztos?"), {Button::No, Button::Ok},
                     [](QMessageBox* b) { b->close(); }, seen),
                 Button::None);
    }

    void plainAndErrorBoxes() {
        SeenBox plain;
        showReal(
            MessageKind::Plain, QStringLiteral("Csak levélelem választható!!"), {Button::Ok},
            [](QMessageBox* b) { clickButton(b, u"OK"_s); }, plain);
        QCOMPARE(plain.title, QStringLiteral("Vélkor statisztika"));
        QCOMPARE(plain.icon, QMessageBox::NoIcon);
        SeenBox error;
        showReal(
            MessageKind::Error, QStringLiteral("Hiba."), {Button::Ok},
            [](QMessageBox* b) { clickButton(b, u"OK"_s); }, error);
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(error.title, QStringLiteral("Vélkor statisztika"));
    }

    void generalErrorHandlerAddsFullStop() {
        testsupport::ScriptedMessages boxes;
        QVERIFY(!platform::runCommand(
            [] { throw platform::Failure(QStringLiteral("no such table: X")); }));
        QVERIFY(!platform::runCommand([] { throw std::runtime_error("Már pont."); }));
        QVERIFY(platform::runCommand([] {}));
        QCOMPARE(boxes.take(),
                 (QList<testsupport::ShownBox>{
                     {MessageKind::Error, QStringLiteral("no such table: X."), {Button::Ok}},
                     {MessageKind::Error, QStringLiteral("Már pont."), {Button::Ok}}}));
    }

    // Last: the toolkit's own texts stay Hungarian from here on.
    void toolkitSpeaksHungarianWhileBoxesKeepTheirCaptions() {
        QVERIFY(platform::installToolkitTranslation());
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Cancel).buttons().value(0)->text(),
                 QStringLiteral("Mégse"));
        SeenBox seen;
        showReal(
            MessageKind::Confirmation, QStringLiteral("Kilép?"), {Button::Yes, Button::No},
            [](QMessageBox* b) { clickButton(b, u"&No"_s); }, seen);
        QCOMPARE(seen.title, QStringLiteral("Confirm"));
        QCOMPARE(seen.buttons, (QStringList{u"&Yes"_s, u"&No"_s}));
    }
};

QTEST_MAIN(TestMessageBox)
#include "test_message_box.moc"
