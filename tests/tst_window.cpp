#include "collection.h"
#include "controls.h"
#include "form1.h"
#include "layout.h"
#include "tabstrip.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>

// What only the shown window can tell: pictures really painted, controls wired to the right
// topic, captions and labels on view, the keyboard's way through the page.
class TestWindow : public QObject
{
    Q_OBJECT

    template<typename T = QWidget> T *control(const char *name) const
    {
        return m_form->findChild<T *>(QString::fromLatin1(name));
    }
    int pictureWidth(int topic) const
    {
        return control<ImageControl>(kTopics.at(std::size_t(topic)).picture)->width();
    }
    QTabBar *tabBar() const { return control<TabStrip>("SSTab1")->tabBar(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Form1> m_form;
    QList<float> m_draws;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        testdata::makeCollection(m_dir->path(), 3);
        m_form = std::make_unique<Form1>([this] { return m_draws.takeFirst(); });
        m_form->start(m_dir->path());
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void startsOnTheFirstPicture()
    {
        const QImage shown = control("Image1")->grab().toImage();
        const QImage file(m_dir->filePath(QStringLiteral("Maps/1.jpg")));
        QCOMPARE(shown.size(), file.size());
        for (const QPoint at : {QPoint(0, 0), QPoint(60, 45), QPoint(121, 89)})
            QCOMPARE(shown.pixel(at), file.pixel(at));
        QCOMPARE(control<DescriptionBox>("Text1")->text().toLatin1(),
                 testdata::descriptionBytes(QStringLiteral("Maps"), 1));
        for (const layout::ButtonLayout &button : layout::kWindowButtons)
            QCOMPARE(control(button.name)->isVisible(), button.visible);
        QVERIFY(!control<QTimer>("Timer1")->isActive());
        QCOMPARE(m_form->windowTitle(), u"Images of the Tarvel Archipelago"_qs);
        QVERIFY(control<DescriptionBox>("Text1")->verticalScrollBar()->isVisible());
    }

    void everyPageStepsItsOwnTopic()
    {
        for (int topic = 0; topic < kTopicCount; ++topic) {
            QTest::mouseClick(tabBar(), Qt::LeftButton, {}, tabBar()->tabRect(topic).center());
            QCOMPARE(control<TabStrip>("SSTab1")->currentIndex(), topic);
            QCOMPARE(pictureWidth(topic), 122);
            QTest::mouseClick(control(kTopics.at(std::size_t(topic)).back), Qt::LeftButton);
            QCOMPARE(pictureWidth(topic), 122);
            QTest::mouseClick(control(kTopics.at(std::size_t(topic)).forward), Qt::LeftButton);
            QCOMPARE(pictureWidth(topic), 123);
        }
        QCOMPARE(pictureWidth(0), 123);
        QVERIFY(m_form->library().currentFolder().endsWith(u"/Mari"));
    }

    void tabsSwitchButTheWheelDoesNot()
    {
        QTabBar *bar = tabBar();
        QVERIFY(bar->tabRect(kTopicCount - 1).right() < control("SSTab1")->width());
        QCOMPARE(bar->tabRect(kTopicCount - 1).top(), bar->tabRect(0).top());
        QWheelEvent wheel(bar->tabRect(0).center(), bar->mapToGlobal(bar->tabRect(0).center()), {},
                          {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        QCOMPARE(bar->currentIndex(), 0);
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(control<TabStrip>("SSTab1")->currentIndex(), 1);
        QCOMPARE(pictureWidth(1), 122);
    }

    void labelsResizeAndStayOpaque()
    {
        auto *box = control<DescriptionBox>("Text1");
        const QRect atLoad = box->geometry();
        QTest::mouseClick(control("Label1"), Qt::LeftButton);
        QCOMPARE(box->geometry(), atLoad.adjusted(0, -20, 0, 0));
        QTest::mouseClick(control("Label2"), Qt::LeftButton);
        QTest::mouseClick(control("Label2"), Qt::LeftButton);
        QCOMPARE(box->geometry(), atLoad.adjusted(0, 20, 0, 0));

        // A picture that spreads under the labels must not show through them.
        testdata::writeJpeg(m_dir->filePath(QStringLiteral("Maps/2.jpg")),
                            testdata::textured({1200, 900}, 3));
        QTest::mouseClick(control("Command2"), Qt::LeftButton);
        QWidget *label = control("Label1");
        const QImage window = m_form->grab().toImage();
        const QPoint corner = label->mapTo(m_form.get(), QPoint(1, 1));
        QCOMPARE(QColor(window.pixel(corner)), label->palette().color(QPalette::Button));
        // The strip's frame is drawn along its bottom edge.
        const QImage strip = control("SSTab1")->grab().toImage();
        QVERIFY(strip.pixel(strip.width() / 2, strip.height() - 1)
                != control("SSTab1")->palette().color(QPalette::Window).rgb());
    }

    void slideshowHopsAndSteps()
    {
        m_draws = {0.65f};
        QTest::mouseClick(control("Command9"), Qt::LeftButton);
        QVERIFY(control("Command10")->isVisible() && control("Command13")->isVisible());
        auto *timer = control<QTimer>("Timer1");
        QVERIFY(timer->isActive());
        QTest::mouseClick(control("Command13"), Qt::LeftButton);
        QCOMPARE(timer->interval(), 4000);
        QTest::mouseClick(control("Command10"), Qt::LeftButton);
        QTest::mouseClick(control("Command10"), Qt::LeftButton);
        QCOMPARE(timer->interval(), 2000);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(control<TabStrip>("SSTab1")->currentIndex(), 6);
        QCOMPARE(pictureWidth(6), 122);
        QVERIFY(m_form->library().currentFolder().endsWith(u"/Fish"));
        QTest::mouseClick(control("Command9"), Qt::LeftButton);
        QVERIFY(!control("Command10")->isVisible() && !control("Command31")->isVisible());
    }

    void hiddenSaveWritesTheEditedText()
    {
        control<DescriptionBox>("Text1")->setPlainText(QStringLiteral("new\nlines"));
        control<QPushButton>("Command31")->click();
        QFile file(m_dir->filePath(QStringLiteral("Maps/1.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new\r\nlines\r\n"));
    }

    void focusFollowsTheTable()
    {
        const Topic &names = kTopics[0];
        const layout::PageLayout &page = layout::kPages[0];
        QList<std::pair<int, QString>> expected = {{page.focusDescription, names.description},
                                                   {page.focusStepBox, names.stepBox},
                                                   {page.focusForward, names.forward},
                                                   {page.focusBack, names.back}};
        for (const layout::ButtonLayout &button : layout::kWindowButtons) {
            if (button.visible)
                expected.append({button.focus, button.name});
        }
        std::sort(expected.begin(), expected.end());
        tabBar()->setFocus();
        for (const auto &[focus, name] : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
    }

    // Each control of a page has its own place on the strip, drawn over the picture only, and a
    // name for a screen reader.
    void controlsStandApart()
    {
        const Topic &names = kTopics[0];
        QList<QWidget *> controls;
        for (const char *name : {names.description, names.stepBox, names.back, names.forward,
                                 names.grow, layout::kWindowButtons[0].name})
            controls << control(name);
        const QRect strip = control("SSTab1")->geometry();
        for (QWidget *widget : controls) {
            const QRect place(widget->mapTo(m_form.get(), QPoint(0, 0)), widget->size());
            QVERIFY2(strip.contains(place), widget->objectName().toLatin1());
            QVERIFY(!widget->accessibleName().isEmpty());
            for (QWidget *other : controls)
                QVERIFY(other == widget || !other->geometry().intersects(widget->geometry()));
        }
        QVERIFY(control("Image1")->accessibleName().startsWith(u"Maps, Aerials"));
        const QImage window = m_form->grab().toImage();
        for (const char *box : {names.description, names.stepBox})
            QCOMPARE(window.pixelColor(control(box)->mapTo(m_form.get(), QPoint(4, 4))),
                     QColor(192, 192, 192));
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

    void captionsShrinkToStayOnView()
    {
        TabStrip strip;
        strip.setGeometry(0, 0, 700, 100);
        strip.setFont(QFont(QStringLiteral("Liberation Mono"), 14));
        for (const Topic &topic : kTopics)
            strip.addPage(QString::fromLatin1(topic.caption));
        QVERIFY(strip.tabBar()->tabRect(kTopicCount - 1).right() < 700);
        QVERIFY(strip.tabBar()->font().pointSizeF() < 14);
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
        const QString huge(100'001, u'x');
        box.setText(huge);
        QVERIFY(box.isReadOnly());
        QVERIFY(box.toPlainText().endsWith(u"[1 more characters are not shown]"));
        QCOMPARE(box.text(), huge);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
