#include "collection.h"
#include "commandline.h"
#include "controls.h"
#include "form1.h"
#include "layout.h"
#include "tabstrip.h"
#include "twips.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>

// What only the shown window can tell: pictures really painted, controls wired to their own
// topic, captions and labels on view, the keyboard's way through a page. Picture N of every
// topic is 121 + N pixels wide.
class TestWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_elsewhere; // a collection named on the command line
    std::unique_ptr<Form1> m_form;
    QList<float> m_draws;

    template<typename T = QWidget> T *control(const char *name) const
    {
        return m_form->findChild<T *>(QString::fromLatin1(name));
    }
    int pictureWidth(int topic) const { return control(kTopics.at(topic).picture)->width(); }
    QTabBar *tabBar() const { return control<TabStrip>("SSTab1")->tabBar(); }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        testdata::makeCollection(m_dir->path(), 3);
        m_form = std::make_unique<Form1>([this] { return m_draws.takeFirst(); });
        m_form->start(m_dir->path());
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void startsOnTheFirstPicture()
    {
        const QImage file(m_dir->filePath(QStringLiteral("Maps/1.jpg")));
        QCOMPARE(control("Image1")->grab().toImage().convertToFormat(file.format()), file);
        QCOMPARE(control<DescriptionBox>("Text1")->text().toLatin1(),
                 testdata::descriptionBytes(QStringLiteral("Maps"), 1));
        QVERIFY(control<DescriptionBox>("Text1")->verticalScrollBar()->isVisible());
        QCOMPARE(control<DescriptionBox>("Text1")->viewport()->cursor().shape(), Qt::ArrowCursor);
        for (const layout::ButtonLayout &button : layout::kWindowButtons)
            QCOMPARE(control(button.name)->isVisible(), button.visible);
        QCOMPARE(m_form->windowTitle(), u"Images of the Tarvel Archipelago"_qs);
        QVERIFY(tabBar()->tabRect(kTopicCount - 1).right() < control("SSTab1")->width());
        QCOMPARE(tabBar()->font(), m_form->font()); // the captions in the window's own face
        control("SSTab1")->setFont(QFont(QStringLiteral("Liberation Mono"), 14)); // or smaller
        QVERIFY(tabBar()->tabRect(kTopicCount - 1).right() < control("SSTab1")->width());
        QCOMPARE(tabBar()->font().family(), u"Liberation Mono"_qs);
    }

    // A click on a caption or the arrow keys change the page and step its topic, the wheel
    // does nothing; each page's buttons step their own topic only.
    void everyPageStepsItsOwnTopic()
    {
        QWheelEvent wheel({40, 10}, tabBar()->mapToGlobal(QPoint(40, 10)), {}, {0, -120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tabBar(), &wheel);
        QCOMPARE(tabBar()->currentIndex(), 0);
        tabBar()->setFocus();
        QTest::keyClick(tabBar(), Qt::Key_Right);
        QCOMPARE(pictureWidth(1), 122);
        for (int topic = 0; topic < kTopicCount; ++topic) {
            QTest::mouseClick(tabBar(), Qt::LeftButton, {}, tabBar()->tabRect(topic).center());
            QCOMPARE(control<TabStrip>("SSTab1")->currentIndex(), topic);
            QVERIFY(control(kTopics.at(topic).forward)->isVisible()
                    && !control(kTopics.at((topic + 1) % kTopicCount).forward)->isVisible());
            QCOMPARE(pictureWidth(topic), topic < 2 ? 123 : 122); // the first two seen before
            click(kTopics.at(topic).back);
            QCOMPARE(pictureWidth(topic), 122);
            click(kTopics.at(topic).forward);
            QCOMPARE(pictureWidth(topic), 123);
        }
        QCOMPARE(pictureWidth(0), 123);
        QVERIFY(m_form->library().currentFolder().endsWith(u"/Mari"));
    }

    // A topic whose picture 1 is gone says so where its picture stands, at the size the
    // picture control has before any picture.
    void brokenTopicSaysSo()
    {
        for (const char *name : {"Maps/1.jpg", "Maps/2.jpg"})
            QVERIFY(QFile::remove(m_dir->filePath(QString::fromLatin1(name))));
        click("Command2");
        QWidget *picture = control("Image1");
        const layout::PageLayout &page = layout::kPages[0];
        QCOMPARE(picture->size(),
                 QSize(twips::toPixels(page.pictureWidth), twips::toPixels(page.pictureHeight)));
        const QImage shown = picture->grab().toImage();
        QImage plain = shown;
        plain.fill(shown.pixel(0, 0));
        QVERIFY(shown != plain);
    }

    void labelsResizeAndStayOpaque()
    {
        auto *box = control<DescriptionBox>("Text1");
        const QRect atLoad = box->geometry();
        click("Label1");
        QCOMPARE(box->geometry(), atLoad.adjusted(0, -20, 0, 0));
        click("Label2");
        click("Label2");
        QCOMPARE(box->geometry(), atLoad.adjusted(0, 20, 0, 0));
        // A picture that spreads under the labels does not show through them, and the strip
        // draws its frame around it.
        testdata::textured({1200, 900}, 3).save(m_dir->filePath(QStringLiteral("Maps/2.jpg")));
        click("Command2");
        QCOMPARE(control<ImageControl>("Image1")->picture().size(), QSize(788, 553));
        const QImage window = m_form->grab().toImage();
        QCOMPARE(window.pixelColor(control("Label1")->mapTo(m_form.get(), QPoint(1, 1))),
                 control("Label1")->palette().color(QPalette::Button));
        QVERIFY(window.pixel(300, control("SSTab1")->height() - 1)
                != control("SSTab1")->palette().color(QPalette::Window).rgb());
    }

    void slideshowHopsAndSteps()
    {
        auto *timer = control<QTimer>("Timer1");
        click("Command9");
        QVERIFY(timer->isActive() && control("Command10")->isVisible());
        click("Command10");
        QCOMPARE(timer->interval(), 2000);
        for (const char *name : {"Command10", "Command10", "Command13"})
            click(name); // a second each way, never below one
        QCOMPARE(timer->interval(), 2000);
        for (int i = 0; i < 9; ++i)
            click("Command13"); // nor above ten
        QCOMPARE(timer->interval(), 10000);
        m_draws = {0.65f};
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(control<TabStrip>("SSTab1")->currentIndex(), 6);
        QCOMPARE(pictureWidth(6), 122);
        QVERIFY(m_form->library().currentFolder().endsWith(u"/Fish"));
        click("Command9");
        QVERIFY(!timer->isActive() && !control("Command13")->isVisible());
        QVERIFY(!control("Command31")->isVisible());
    }

    void hiddenSaveWritesTheEditedText()
    {
        control<DescriptionBox>("Text1")->setPlainText(QStringLiteral("new\nlines"));
        control<QPushButton>("Command31")->click();
        QFile file(m_dir->filePath(QStringLiteral("Maps/1.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new\r\nlines\r\n"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");    // -1: the window opens
        QTest::addColumn<QString>("printed"); // on standard error when it is 2, else output
        QTest::addColumn<QString>("folder");  // where the collection is read from
        const QString dir = m_elsewhere.path();
        const QString none = dir + u"/none"_qs;
        const QString file = dir + u"/file"_qs;
        testdata::writeBytes(file, "x");
        const auto row = [](const char *name, QStringList arguments, int code, QString printed,
                            QString folder = {}) {
            arguments.prepend(QStringLiteral("tarvel-images"));
            QTest::newRow(name) << arguments << code << printed << folder;
        };
        row("no folder", {}, -1, {}); // the program's own
        row("a folder", {dir}, -1, {}, dir);
        row("relative", {QDir::current().relativeFilePath(dir) + u'/'}, -1, {}, dir);
        row("missing", {none}, 2, u"no such folder: "_qs + none);
        row("a file", {file}, 2, u"not a folder: "_qs + file);
        row("two folders", {dir, dir}, 2, u"one folder at most, not 2"_qs);
        row("unknown option", {u"--fast"_qs, dir}, 2, u"Unknown option 'fast'"_qs);
        row("help", {u"--help"_qs}, 0, u"Usage: tarvel-images [options] [folder]\n"_qs);
        row("version", {u"-v"_qs}, 0, u"tarvel-images " TARVEL_VERSION "\n"_qs);
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, printed);
        QFETCH(QString, folder);
        const CommandLine line = readCommandLine(arguments);
        QCOMPARE(line.exitCode.value_or(-1), exitCode);
        QCOMPARE(line.collectionDir, folder);
        const QString shown = exitCode == 2 ? line.err : line.out;
        QCOMPARE(exitCode == 2 ? line.out : line.err, QString());
        QVERIFY2(shown.contains(printed) && shown.isEmpty() == printed.isEmpty(),
                 qPrintable(shown));
        if (exitCode == 2) // one line, naming the program
            QVERIFY(line.err.startsWith(u"tarvel-images: ") && line.err.count(u'\n') == 1);
    }

    // The Tab key walks the page's controls and the window's buttons by their numbers.
    void focusFollowsTheTable()
    {
        const Topic &names = kTopics[0];
        const layout::PageLayout &page = layout::kPages[0];
        QMap<int, QString> order = {{page.focusDescription, names.description},
                                    {page.focusStepBox, names.stepBox},
                                    {page.focusForward, names.forward},
                                    {page.focusBack, names.back}};
        for (const layout::ButtonLayout &button : layout::kWindowButtons)
            if (button.visible)
                order.insert(button.focus, button.name);
        tabBar()->setFocus();
        for (const QString &name : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
    }

    // Each control has a place of its own on the strip, drawn over the picture only, and a
    // name for a screen reader; the text boxes are light grey.
    void controlsStandApart()
    {
        const Topic &names = kTopics[0];
        QList<QWidget *> controls;
        for (const char *name : {names.description, names.stepBox, names.back, names.forward,
                                 names.grow, layout::kWindowButtons[0].name})
            controls << control(name);
        const QImage window = m_form->grab().toImage();
        for (QWidget *widget : controls) {
            QVERIFY(control("SSTab1")->rect().contains(widget->geometry()));
            QVERIFY(!widget->accessibleName().isEmpty());
            for (QWidget *other : controls)
                QVERIFY(other == widget || !other->geometry().intersects(widget->geometry()));
        }
        for (const char *box : {names.description, names.stepBox})
            QCOMPARE(window.pixelColor(control(box)->pos() + QPoint(4, 4)), QColor(192, 192, 192));
        // "Auto On/ Off" is wider than its button: it wraps onto a second line, not cut off.
        const QImage button = control("Command9")->grab().toImage();
        int lines = 0;
        for (int y = 0, inked = 0; y < button.height(); ++y) {
            bool ink = false;
            for (int x = 3; x < button.width() - 3; ++x)
                ink = ink || qGray(button.pixel(x, y)) < 80;
            lines += ink && !inked;
            inked = ink;
        }
        QCOMPARE(lines, 2);
    }

    void descriptionShowsWhatTextCannot()
    {
        DescriptionBox box;
        const QString text = QStringLiteral("a\r\nb\rc\x01 \x7f\td\r");
        box.setText(text);
        QCOMPARE(box.toPlainText(), u"a\nb\nc\u2401 \u2421\td\n"_qs);
        QCOMPARE(box.text(), text);
        box.setText(QString(100'000, u'x'));
        QVERIFY(!box.isReadOnly());
        // Laying out a huge text would freeze the window: it shows in part and stays exact.
        const QString huge(100'001, u'x');
        box.setText(huge);
        QVERIFY(box.isReadOnly());
        QVERIFY(box.toPlainText().endsWith(u"[1 more characters are not shown]"));
        QCOMPARE(box.text(), huge);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
