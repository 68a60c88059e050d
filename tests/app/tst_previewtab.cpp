#include "testmain.h"

#include "app/layout/previewtab.h"
#include "app/layout/settingcontrols.h"
#include "app/layout/settingstabs.h"
#include "app/products/presetstab.h"
#include "i18n/translateunit.h"
#include "model/editcommands.h"
#include "model/options.h"
#include "model/services.h"
#include "session/catalogsession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace pw;

namespace {

const QString kSample = QStringLiteral(PW_SOURCE_DIR "/resources/samples/test.pk2");

class NoPrompts final : public Prompts {
public:
    QString file;
    QStringList messages;
    Answer ask(const QString&, const QString&, Buttons) override { return Answer::No; }
    void message(const QString& text, const QString&, Icon) override { messages.append(text); }
    QString openFileName(const QString&) override { return file; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    QString folderName(const QString&) override { return {}; }
};

// The sample catalogue in a session, with the preview tab and the settings tabs over it,
// on a 96-dpi screen with an A4 printer page at 600 dpi.
struct Preview {
    TranslationStore texts;
    FixedClock clock{QDate(2026, 3, 4)};
    NoPrompts prompts;
    CatalogSession session{texts, clock, LanguageLocale(Deutsch)};
    QTabWidget tabs;
    SettingsBinder* binder;
    PreviewTab* preview;

    explicit Preview(bool open = true) {
        texts.setCollectNewTexts(false);
        if (open)
            session.open(kSample);
        binder = new SettingsBinder(session.edit(), prompts, texts, &tabs);
        PreviewSetup setup;
        setup.screenDpi = 96;
        auto* other = new QWidget;
        other->setObjectName(QStringLiteral("Other"));
        tabs.addTab(other, QStringLiteral("Produkte"));
        tabs.addTab(new PresetsTab(session.edit(), prompts, texts, &tabs),
                    QStringLiteral("Voreinstellungen"));
        preview =
            new PreviewTab(session.edit(), *binder, texts, clock, LanguageLocale(Deutsch), setup, 100, &tabs);
        tabs.addTab(preview, QStringLiteral("Katalog erzeugen"));
        tabs.addTab(makeLayoutTab(*binder, &tabs), QStringLiteral("Layout"));
        tabs.addTab(new PictureSettingsTab(SettingsPage::Background, session.edit(), *binder, &tabs),
                    QStringLiteral("Hintergrund"));
        tabs.addTab(new PictureSettingsTab(SettingsPage::Logo, session.edit(), *binder, &tabs),
                    QStringLiteral("Logo"));
        tabs.resize(1000, 700);
        tabs.setCurrentWidget(preview);
        tabs.show();
    }
    // Waits for the picture of every request made so far.
    bool settled() {
        QApplication::processEvents();
        const bool done = QTest::qWaitFor(
            [&] { return !preview->isRendering() && !preview->shownPicture().isNull(); }, 20000);
        QApplication::processEvents(); // the scroll area takes the page's new size
        QApplication::processEvents();
        return done;
    }
    template <class W> W* control(const char* name) { return tabs.findChild<W*>(QLatin1String(name)); }
};

QImage rgb(const QImage& i) {
    return i.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestPreviewTab : public QObject {
    Q_OBJECT
private slots:
    // At zoom 100 on a 96-dpi screen an A4 page at 600 dpi is 793 x 1122 pixels, in a box
    // 8 pixels larger; the page count shows beside the page field.
    void thePageHasTheSizeOfTheRule() {
        Preview p;
        QVERIFY(p.settled());
        QCOMPARE(p.preview->shownPicture().size(), QSize(793, 1122));
        QCOMPARE(p.preview->pageBox()->size(), QSize(801, 1130));
        QCOMPARE(p.preview->pageCount(), 11);
        QCOMPARE(p.tabs.findChild<QLabel*>(QStringLiteral("PageCount"))->text(), QStringLiteral("von 11"));
    }

    // A page beyond the end is the empty sheet: nothing but white inside its outline.
    void aPageBeyondTheEndShowsOnlyTheOutline() {
        Preview p;
        p.preview->pageEdit()->setValue(50);
        QVERIFY(p.settled());
        const QImage page = rgb(p.preview->shownPicture());
        const QImage inside = page.copy(page.rect().adjusted(4, 4, -4, -4));
        QImage white(inside.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QCOMPARE(inside, white);
        QCOMPARE(page.pixel(0, page.height() / 2), qRgb(0, 0, 0));
    }

    // The wheel scrolls 20 pixels a notch on the preview, and nothing while another tab
    // is shown; Ctrl+wheel zooms; the page keys turn pages.
    void theWheelAndTheKeysMoveOnlyThePreview() {
        Preview p;
        QVERIFY(p.settled());
        QScrollBar* v = p.preview->scrollArea()->verticalScrollBar();
        QVERIFY(v->maximum() > 100);
        const auto wheel = [](QWidget* target, int delta, Qt::KeyboardModifiers modifiers = {}) {
            const QPointF at(20, 20);
            QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &e);
        };
        wheel(p.preview->scrollArea()->viewport(), -360); // three notches at once: still one step
        QCOMPARE(v->value(), 20);
        wheel(p.preview->pageBox(), 120);
        QCOMPARE(v->value(), 0);

        p.tabs.setCurrentIndex(0);
        wheel(p.tabs.widget(0), -120);
        QCOMPARE(v->value(), 0);

        p.tabs.setCurrentWidget(p.preview);
        wheel(p.preview->scrollArea()->viewport(), 120, Qt::ControlModifier);
        QCOMPARE(p.preview->zoomEdit()->value(), 110);

        // The keys: Page Down / Page Up turn pages, Ctrl+minus zooms out.
        p.tabs.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.tabs));
        p.preview->scrollArea()->setFocus();
        QTest::keyClick(p.preview->scrollArea(), Qt::Key_PageDown);
        QTest::keyClick(p.preview->scrollArea(), Qt::Key_PageDown);
        QTest::keyClick(p.preview->scrollArea(), Qt::Key_PageUp);
        QCOMPARE(p.preview->pageEdit()->value(), 2);
        QTest::keyClick(p.preview->scrollArea(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(p.preview->zoomEdit()->value(), 100);
    }

    // Dragging the page far beyond the bottom right stops each bar at its own limit.
    void draggingStopsAtTheScrollLimits() {
        Preview p;
        p.preview->zoomEdit()->setValue(200);
        QVERIFY(p.settled());
        QWidget* box = p.preview->pageBox();
        QScrollBar* h = p.preview->scrollArea()->horizontalScrollBar();
        QScrollBar* v = p.preview->scrollArea()->verticalScrollBar();
        QVERIFY(h->maximum() > 0 && v->maximum() > 0);
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(300, 300));
        QMouseEvent move(QEvent::MouseMove, QPointF(-20000, -30000),
                         box->mapToGlobal(QPointF(-20000, -30000)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(box, &move);
        QCOMPARE(h->value(), h->maximum());
        QCOMPARE(v->value(), v->maximum());
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(0, 0));
    }

    // A colour field takes "#FFAACC" on Enter; "12345" changes nothing. Both empty it.
    void colourFieldsTakeOnlySixHexDigits() {
        Preview p(false);
        auto* field = p.control<QLineEdit>("Edit1");
        QVERIFY(field);
        const quint32 before = p.session.doc().settings.Shape1;
        field->setText(QStringLiteral("12345"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(p.session.doc().settings.Shape1, before);
        QVERIFY(field->text().isEmpty());
        QVERIFY(!p.session.edit().isChanged());
        field->setText(QStringLiteral("#FFAACC"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(p.session.doc().settings.Shape1, 0x00CCAAFFu);
        QVERIFY(field->text().isEmpty());

        auto* fontField = p.control<QLineEdit>("Edit10"); // the category name's font
        fontField->setText(QStringLiteral("00FF00"));
        QTest::keyClick(fontField, Qt::Key_Return);
        QCOMPARE(p.session.doc().settings.FontDialog2.Color, 0x0000FF00u);
    }

    // A margin typed into its control is the setting, marks the catalogue changed, draws
    // the page anew, and undo takes it back, in the control too.
    void aChangedMarginRepaintsAndUndoes() {
        Preview p;
        QVERIFY(p.settled());
        const QImage before = p.preview->shownPicture();
        auto* margin = p.control<QDoubleSpinBox>("LinksEd");
        margin->setFocus();
        margin->selectAll();
        QTest::keyClicks(margin, QStringLiteral("40"));
        QCOMPARE(p.session.doc().settings.LinksEd, 40.0);
        QVERIFY(p.session.edit().isChanged());
        QCOMPARE(p.session.edit().history.count(), 1); // "4", then "40": one step
        QVERIFY(p.settled());
        QVERIFY(p.preview->shownPicture() != before);
        QVERIFY(p.session.edit().undo());
        QCOMPARE(p.session.doc().settings.LinksEd, 12.0);
        QCOMPARE(margin->value(), 12.0);
        QVERIFY(p.settled());
        QCOMPARE(p.preview->shownPicture(), before);
    }

    // Every row of the controls table reaches its setting: each control changed through
    // its widget changes exactly that field of the document.
    void everyControlReachesItsSetting() {
        Preview p(false);
        QTemporaryDir dir;
        p.prompts.file = dir.filePath(QStringLiteral("bild.png"));
        p.binder->chooseColour = [](const QColor&, QWidget*) {
            return std::optional<QColor>(QColor(1, 2, 3));
        };
        p.binder->chooseFont = [](const QFont& f, QWidget*) {
            QFont changed = f;
            changed.setFamily(QStringLiteral("Testschrift"));
            return std::optional<QFont>(changed);
        };
        for (const SettingControlInfo& row : settingControlsTable()) {
            if (!row.name)
                continue;
            const SettingInfo* setting = findSetting(QString::fromLatin1(row.name));
            QVERIFY2(setting, row.name);
            const SettingValue before = settingValue(p.session.doc().settings, *setting);
            QWidget* control = setting->kind == SettingKind::Font ? p.control<QWidget>(row.fontButton)
                                                                  : p.control<QWidget>(row.name);
            QVERIFY2(control, row.name);
            if (auto* combo = qobject_cast<QComboBox*>(control)) {
                combo->setCurrentIndex(combo->currentIndex() == 0 ? 1 : 0);
            } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
                box->click();
            } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
                spin->setValue(spin->value() == spin->minimum() ? spin->value() + 1 : spin->value() - 1);
            } else if (auto* number = qobject_cast<QDoubleSpinBox*>(control)) {
                number->setValue(number->value() == number->minimum() ? number->value() + 1
                                                                      : number->value() - 1);
            } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                edit->setFocus();
                edit->end(false);
                QTest::keyClicks(edit, QStringLiteral("x"));
            } else if (setting->kind == SettingKind::Path) {
                control->findChild<QToolButton*>()->click();
            } else if (auto* button = qobject_cast<QPushButton*>(control)) {
                button->click();
            }
            const SettingValue after = settingValue(p.session.doc().settings, *setting);
            QVERIFY2(!(after == before), row.name);
        }
    }

    // The preview of page 3 of the sample in each layout is, pixel for pixel, what the
    // command line draws of that page at the same size.
    void thePreviewEqualsTheCommandLine() {
        Preview p;
        QTemporaryDir dir;
        auto* layout = p.control<QComboBox>("LayoutCombo");
        p.preview->pageEdit()->setValue(3);
        for (int l = 0; l < kLayoutCount; ++l) {
            layout->setCurrentIndex(l);
            QVERIFY(p.settled());
            const QString out = dir.filePath(QStringLiteral("seite%1.png").arg(l + 1));
            QProcess cli;
            cli.start(QStringLiteral(PW_CLI_PATH),
                      {QStringLiteral("--date"), QStringLiteral("2026-03-04"), QStringLiteral("render"),
                       kSample, QStringLiteral("--page"), QStringLiteral("3"), QStringLiteral("-o"), out,
                       QStringLiteral("--layout"), QString::number(l + 1), QStringLiteral("--preview")});
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), 0);
            const QImage expected(out);
            QVERIFY2(rgb(p.preview->shownPicture()) == rgb(expected), qPrintable(QString::number(l + 1)));
        }
    }

    // The logo tab shows the logo the catalogue names.
    void theLogoTabShowsTheLogo() {
        Preview p;
        auto* logo = p.tabs.findChild<PictureSettingsTab*>(QStringLiteral("LogoTab"));
        QVERIFY(logo);
        QVERIFY(!logo->picture().isNull());
    }
};

PW_TEST_CLASS(TestPreviewTab)
#include "tst_previewtab.moc"
