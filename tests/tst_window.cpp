#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "tabstrip.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

struct PageControls
{
    const char *picture, *description, *stepBox, *back, *forward, *grow, *shrink;
    int pictureWidth, pictureHeight; // before the first picture is loaded
    int focusDescription, focusStepBox, focusForward, focusBack;
};

// The window as the layout tables draw it, written out once more by hand.
// clang-format off
const PageControls kPages[] = {
    {"Image1", "Text1", "Text16", "Command1", "Command2", "Label1", "Label2", 4935, 2895, 14, 7, 27, 28},
    {"Image2", "Text2", "Text17", "Command3", "Command4", "Label4", "Label3", 3735, 2415, 13, 6, 25, 26},
    {"Image3", "Text3", "Text18", "Command5", "Command6", "Label6", "Label5", 3015, 2175, 12, 5, 23, 24},
    {"Image4", "Text4", "Text19", "Command7", "Command8", "Label8", "Label7", 3375, 2295, 11, 4, 21, 22},
    {"Image14", "Text14", "Text29", "Command27", "Command28", "Label28", "Label27", 3975, 2415, 46, 47, 45, 44},
    {"Image6", "Text6", "Text21", "Command11", "Command12", "Label12", "Label11", 3015, 1695, 10, 3, 19, 20},
    {"Image13", "Text13", "Text28", "Command25", "Command26", "Label26", "Label25", 3255, 1815, 52, 53, 51, 50},
    {"Image8", "Text8", "Text23", "Command15", "Command16", "Label16", "Label15", 4335, 2175, 9, 2, 17, 18},
    {"Image9", "Text9", "Text24", "Command17", "Command18", "Label18", "Label17", 4095, 2055, 8, 1, 15, 16},
    {"Image12", "Text12", "Text27", "Command23", "Command24", "Label24", "Label23", 3615, 2295, 58, 59, 57, 56},
};
// clang-format on

const char *const kCaptions[] = {"Maps, Aerials", "Settlements", "Plants", "Shores, geology",
                                 "Pelmora",       "Birds",       "Fish",   "Expeditions",
                                 "Science",       "Marine life"};

QRect twipsRect(int left, int top, int width, int height)
{
    return {left, top, width, height};
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void initialState();
    void fonts();
    void accessibleNames();
    void focusChain();
    void keyboardFocusSkipsHiddenPages();
    void tabStripKeepsItsSize();
    void captionsStandInOneRow();
    void switching_data();
    void switching();
    void pictureSpreadsUnderTheControls();

private:
    QWidget *control(const char *name) const
    {
        return m_form->findChild<QWidget *>(QString::fromLatin1(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
};

void TestWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    testdata::makeCollection(m_dir->path(), 3);
    m_form = std::make_unique<Form1>();
}

void TestWindow::cleanup()
{
    m_form.reset();
    m_dir.reset();
}

void TestWindow::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");

    for (const PageControls &page : kPages) {
        const auto row = [](const char *name, QRect twips) {
            QTest::newRow(name) << QString::fromLatin1(name) << twips;
        };
        row(page.picture, twipsRect(120, 480, page.pictureWidth, page.pictureHeight));
        row(page.description, twipsRect(720, 7920, 10215, 615));
        row(page.stepBox, twipsRect(11520, 480, 255, 285));
        row(page.forward, twipsRect(11520, 2280, 255, 375));
        row(page.back, twipsRect(11520, 2880, 255, 375));
        row(page.grow, twipsRect(360, 8040, 255, 255));
        row(page.shrink, twipsRect(360, 8280, 255, 255));
    }
    QTest::newRow("SSTab1") << "SSTab1" << twipsRect(0, 0, 11940, 8775);
    QTest::newRow("Command9") << "Command9" << twipsRect(11040, 7920, 735, 495);
    QTest::newRow("Command10") << "Command10" << twipsRect(11040, 8400, 375, 195);
    QTest::newRow("Command13") << "Command13" << twipsRect(11400, 8400, 375, 195);
    QTest::newRow("Command31") << "Command31" << twipsRect(11280, 840, 615, 615);
}

void TestWindow::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QWidget *widget = control(qPrintable(name));
    QVERIFY2(widget, qPrintable(name));
    // Every twips value of the window is a whole number of pixels at 15 twips a pixel.
    QCOMPARE(widget->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    // Page controls are placed in the strip's own coordinates, whichever page they are on.
    if (widget->parentWidget() != m_form.get())
        QCOMPARE(widget->parentWidget()->geometry(), QRect(0, 0, 796, 585));
    if (auto *box = qobject_cast<DescriptionBox *>(widget)) {
        QCOMPARE(box->Top(), 7920.0f);
        QCOMPARE(box->Height(), 615.0f);
    }
}

void TestWindow::initialState()
{
    for (int tab = 0; tab < 10; ++tab) {
        const PageControls &page = kPages[tab];
        auto *box = qobject_cast<DescriptionBox *>(control(page.description));
        QVERIFY(box);
        QCOMPARE(box->Text(), tab == 0 ? QStringLiteral("Text1\r\n") : QStringLiteral("Text1"));
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->viewport()->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(192, 192, 192));
        auto *step = qobject_cast<QLineEdit *>(control(page.stepBox));
        QVERIFY(step);
        QCOMPARE(step->text(), QStringLiteral("1"));
        QCOMPARE(step->palette().color(QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(qobject_cast<QPushButton *>(control(page.forward))->text(), QStringLiteral(">"));
        QCOMPARE(qobject_cast<QPushButton *>(control(page.back))->text(), QStringLiteral("<"));
        auto *grow = qobject_cast<QLabel *>(control(page.grow));
        auto *shrink = qobject_cast<QLabel *>(control(page.shrink));
        QCOMPARE(grow->text(), QStringLiteral("^"));
        QCOMPARE(shrink->text(), QStringLiteral("v"));
        QCOMPARE(grow->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        auto *picture = qobject_cast<ImageControl *>(control(page.picture));
        QVERIFY(picture->Picture().isNull());
        // Only the first page is on view.
        QCOMPARE(m_form->SSTab1()->page(tab)->isVisibleTo(m_form.get()), tab == 0);
        for (const char *name : {page.picture, page.description, page.stepBox, page.back,
                                 page.forward, page.grow, page.shrink})
            QVERIFY2(control(name)->isEnabled(), name);
    }
    QCOMPARE(m_form->SSTab1()->Tab(), 0);
    QCOMPARE(qobject_cast<QPushButton *>(control("Command9"))->text(),
             QStringLiteral("Auto On/ Off"));
    QCOMPARE(qobject_cast<QPushButton *>(control("Command10"))->text(), QStringLiteral("-"));
    QCOMPARE(qobject_cast<QPushButton *>(control("Command13"))->text(), QStringLiteral("+"));
    QCOMPARE(qobject_cast<QPushButton *>(control("Command31"))->text(),
             QStringLiteral("save text"));
    QVERIFY(control("Command9")->isVisibleTo(m_form.get()));
    QVERIFY(!control("Command10")->isVisibleTo(m_form.get()));
    QVERIFY(!control("Command13")->isVisibleTo(m_form.get()));
    QVERIFY(!control("Command31")->isVisibleTo(m_form.get()));
    QVERIFY(!m_form->Timer1()->isActive());
    QCOMPARE(m_form->Timer1()->interval(), 3000);
    QCOMPARE(m_form->Timer1()->objectName(), QStringLiteral("Timer1"));

    // Start-up leaves all of this as it was, apart from the first page's picture and text.
    m_form->Form_Load(m_dir->path());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QVERIFY(!control("Command10")->isVisible());
    QVERIFY(!control("Command31")->isVisible());
    QVERIFY(!m_form->Timer1()->isActive());
}

void TestWindow::fonts()
{
    const QFont forward = control(kPages[3].forward)->font();
    QVERIFY(forward.bold());
    QCOMPARE(forward.pointSizeF(), 8.25);
    QVERIFY(control(kPages[3].back)->font().bold());
    QVERIFY(!control(kPages[3].description)->font().bold());
    QCOMPARE(control(kPages[3].description)->font().pointSizeF(), 8.25);
    QCOMPARE(control(kPages[3].grow)->font().pointSizeF(), 12.0);
    QCOMPARE(control(kPages[3].shrink)->font().pointSizeF(), 9.75);
    QCOMPARE(control("Command10")->font().pointSizeF(), 9.75);
    QCOMPARE(control("Command13")->font().pointSizeF(), 8.25);
    // Whatever face stands in, it is a sans-serif one.
    QCOMPARE(control(kPages[3].grow)->font().styleHint(), QFont::SansSerif);
}

void TestWindow::accessibleNames()
{
    const PageControls &page = kPages[6];
    QCOMPARE(control(page.forward)->accessibleName(), QStringLiteral("Next picture"));
    QCOMPARE(control(page.back)->accessibleName(), QStringLiteral("Previous picture"));
    QCOMPARE(control(page.stepBox)->accessibleName(), QStringLiteral("Step amount"));
    QCOMPARE(control(page.description)->accessibleName(), QStringLiteral("Description"));
    QCOMPARE(control(page.grow)->accessibleName(), QStringLiteral("Taller description"));
    QCOMPARE(control(page.shrink)->accessibleName(), QStringLiteral("Shorter description"));
    QCOMPARE(control(page.picture)->accessibleName(), QStringLiteral("Fish picture"));
    QCOMPARE(control("Command9")->accessibleName(), QStringLiteral("Start or stop the slideshow"));
    QCOMPARE(control("Command10")->accessibleName(), QStringLiteral("Shorter interval"));
    QCOMPARE(control("Command13")->accessibleName(), QStringLiteral("Longer interval"));
    for (QWidget *widget : m_form->findChildren<QWidget *>()) {
        if (qobject_cast<QPushButton *>(widget) || qobject_cast<QLabel *>(widget)
            || qobject_cast<ImageControl *>(widget) || qobject_cast<QLineEdit *>(widget))
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
    }
}

void TestWindow::focusChain()
{
    // The focus numbers of every control that takes focus, in ascending order.
    std::vector<std::pair<int, QWidget *>> expected = {{0, m_form->SSTab1()->tabBar()},
                                                       {43, control("Command31")},
                                                       {62, control("Command9")},
                                                       {63, control("Command10")},
                                                       {64, control("Command13")}};
    for (const PageControls &page : kPages) {
        expected.emplace_back(page.focusDescription, control(page.description));
        expected.emplace_back(page.focusStepBox, control(page.stepBox));
        expected.emplace_back(page.focusForward, control(page.forward));
        expected.emplace_back(page.focusBack, control(page.back));
        QCOMPARE(control(page.grow)->focusPolicy(), Qt::NoFocus);
        QCOMPARE(control(page.picture)->focusPolicy(), Qt::NoFocus);
    }
    std::sort(expected.begin(), expected.end());

    QList<QWidget *> wanted;
    for (const auto &entry : expected)
        wanted << entry.second;
    QList<QWidget *> chain;
    QWidget *widget = m_form->SSTab1()->tabBar();
    do {
        if (wanted.contains(widget))
            chain << widget;
        widget = widget->nextInFocusChain();
    } while (widget != m_form->SSTab1()->tabBar());
    QCOMPARE(chain.size(), wanted.size());
    for (qsizetype i = 0; i < chain.size(); ++i)
        QCOMPARE(chain[i]->objectName(), wanted[i]->objectName());
}

void TestWindow::keyboardFocusSkipsHiddenPages()
{
    m_form->Form_Load(m_dir->path());
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->SSTab1()->tabBar()->setFocus();
    // Page 0: step box (7), description (14), ">" (27), "<" (28), then "Auto On/ Off" (62).
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(
        order,
        QStringList({"Text16", "Text1", "Command2", "Command1", "Command9", "SSTab1Captions"}));
}

void TestWindow::tabStripKeepsItsSize()
{
    m_form->Form_Load(m_dir->path());
    m_form->show();
    m_form->resize(1000, 800);
    QCOMPARE(m_form->SSTab1()->size(), QSize(796, 585));
    m_form->resize(400, 300);
    QCOMPARE(m_form->SSTab1()->size(), QSize(796, 585));
    QCOMPARE(control("Command9")->geometry(), QRect(736, 528, 49, 33));
}

void TestWindow::captionsStandInOneRow()
{
    m_form->show();
    QTabBar *bar = m_form->SSTab1()->tabBar();
    QCOMPARE(bar->count(), 10);
    for (int i = 0; i < bar->count(); ++i) {
        QCOMPARE(bar->tabText(i), QString::fromLatin1(kCaptions[i]));
        QCOMPARE(bar->tabRect(i).top(), bar->tabRect(0).top());
        if (i > 0)
            QVERIFY(bar->tabRect(i).left() >= bar->tabRect(i - 1).right());
    }
    QVERIFY(bar->tabRect(9).right() < 796);
    QVERIFY(bar->height() >= 18 && bar->height() <= 24);
}

void TestWindow::switching_data()
{
    QTest::addColumn<QList<int>>("visits");
    QTest::addColumn<int>("picture"); // on the last page visited
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("numberText");

    QTest::newRow("first visit shows 1") << QList<int>{5} << 1 << "Bird"
                                         << "1";
    QTest::newRow("return shows the next") << QList<int>{5, 6, 5} << 2 << "Bird"
                                           << "2";
    QTest::newRow("past the last starts again") << QList<int>{5, 6, 5, 6, 5, 6, 5} << 1 << "Bird"
                                                << "1";
    QTest::newRow("back to the first page steps it") << QList<int>{3, 0} << 2 << "Maps"
                                                     << "2";
    QTest::newRow("last page") << QList<int>{9} << 1 << "Mari"
                               << "1";
    QTest::newRow("Pelmora uses its own slot") << QList<int>{4, 1, 4} << 2 << "Pelm"
                                               << "2";
    QTest::newRow("same page again does nothing") << QList<int>{7, 7} << 1 << "Expe"
                                                  << "1";
}

void TestWindow::switching()
{
    QFETCH(QList<int>, visits);
    QFETCH(int, picture);
    QFETCH(QString, folder);
    QFETCH(QString, numberText);
    m_form->Form_Load(m_dir->path());
    QSignalSpy clicks(m_form->SSTab1(), &TabStrip::Click);
    for (int tab : visits)
        m_form->SSTab1()->setTab(tab);

    const int last = visits.last();
    const TopicRow &topic = m_form->topics().row(last);
    const SharedState &state = m_form->library().state();
    QCOMPARE(m_form->SSTab1()->Tab(), last);
    QCOMPARE(state.CurrentFolder, m_dir->path() + u'/' + folder);
    QCOMPARE(state.CurrentNumberText, numberText);
    QCOMPARE(topic.picture->width() - 121, picture);
    QCOMPARE(topic.description->Text(),
             QString::fromLatin1(testdata::descriptionBytes(folder, picture)));
    // One Click for each change of page, none for staying.
    int changes = 0;
    int previous = 0;
    for (int tab : visits) {
        changes += tab != previous;
        previous = tab;
    }
    QCOMPARE(clicks.size(), changes);
}

void TestWindow::pictureSpreadsUnderTheControls()
{
    testdata::writeJpeg(m_dir->filePath(QStringLiteral("Maps/2.jpg")), QSize(1200, 900), 3);
    m_form->Form_Load(m_dir->path());
    m_form->show();
    m_form->topics().row(0).forward->click();
    const TopicRow &maps = m_form->topics().row(0);
    QCOMPARE(maps.picture->size(), QSize(1200, 900));
    QWidget *page = m_form->SSTab1()->page(0);
    // The other controls are drawn over the picture...
    QCOMPARE(page->childAt(maps.stepBox->geometry().center()), maps.stepBox);
    QCOMPARE(page->childAt(maps.forward->geometry().center()), maps.forward);
    QVERIFY(maps.description->isAncestorOf(page->childAt(maps.description->geometry().center())));
    // ...and the picture is cut off at the strip's edges.
    QVERIFY(!page->rect().contains(maps.picture->geometry()));
    QCOMPARE(maps.picture->Picture().size(), QSize(788, 553));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
