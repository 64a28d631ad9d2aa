#include "controls.h"
#include "layout.h"
#include "mainwindow.h"
#include "tabstrip.h"
#include "testdata.h"

#include <QtTest>
#include <QtWidgets>
#include <memory>

// What only the shown window can tell: pictures really painted, each page's controls wired to
// their own topic, captions and labels on view, the keyboard's way through a page. Every topic
// holds pictures 1 to 5, and picture N is 121 + N pixels wide.
class TestWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_form;
    QList<float> m_draws;

    template<typename T = QWidget> T *control(const char *name) const
    {
        return m_form->findChild<T *>(QString::fromLatin1(name));
    }
    int shownNumber(int topic) const
    {
        return control(layout::kPageNames.at(topic).picture)->width() - 121;
    }
    QTabBar *tabBar() const { return control<TabStrip>("SSTab1")->tabBar(); }
    void click(const char *name) { QTest::mouseClick(control(name), Qt::LeftButton); }

private slots:
    void init()
    {
        testdata::makeCollection(m_dir.path(), 5);
        m_form = std::make_unique<MainWindow>([this] { return m_draws.takeFirst(); });
        m_form->start(m_dir.path());
        QTRY_VERIFY(m_form->isVisible()); // with its first picture
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    // Ten captions in one row, even where a wider face stands in for the window's own.
    void captionsFitInOneRow()
    {
        control("SSTab1")->setFont(QFont(QStringLiteral("Liberation Mono"), 14));
        QVERIFY(tabBar()->tabRect(kTopicCount - 1).right() < control("SSTab1")->width());
        control("SSTab1")->setFont(m_form->font()); // a face that fits comes back whole
        QCOMPARE(tabBar()->font(), m_form->font());
    }

    void pageActsOnItsOwnTopic_data()
    {
        QTest::addColumn<int>("topic");
        for (int topic = 0; topic < kTopicCount; ++topic)
            QTest::newRow(kTopics.at(topic).caption) << topic;
    }

    // Choosing a page steps its topic by its own step box, and so do its ">" and "<"; the
    // hidden save writes its description, the user's line breaks joined as the file's own, to
    // its topic's file of the number it stepped to last; its "^" and "v" resize its own
    // description box.
    void pageActsOnItsOwnTopic()
    {
        QFETCH(int, topic);
        const auto &names = layout::kPageNames.at(topic);
        const char *caption = kTopics.at(topic).caption;
        const auto &next = layout::kPageNames.at((topic + 1) % kTopicCount);
        for (const auto &other : layout::kPageNames) {
            control<QLineEdit>(other.stepBox)->setText(&other == &names ? "2" : "0");
            control<DescriptionBox>(other.description)->setPlainText(other.description);
        }
        // The wheel never changes the page; a click on its caption does.
        QWheelEvent wheel({}, {}, {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tabBar(), &wheel);
        // Through the window, so that nothing may stand over the captions.
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {},
                          tabBar()->mapTo(m_form.get(), tabBar()->tabRect(topic).center()));
        QVERIFY(control(names.forward)->isVisible());
        QVERIFY(!control(next.forward)->isVisible());
        QVERIFY(!control(names.forward)->accessibleName().isEmpty()); // for a screen reader
        QTRY_COMPARE(shownNumber(topic), topic == 0 ? 1 : 2); // the first page stepped at start-up
        // Quick clicks, applied in order: below the first, then forward from picture 1 twice.
        for (const char *button : {names.back, names.forward, names.forward})
            click(button);
        QTRY_COMPARE(shownNumber(topic), 5);
        control<DescriptionBox>(names.description)->setPlainText(caption + u"\n"_s);
        control<QPushButton>("Command31")->click();
        const QString saved = folderName(caption) + u"/5"_s;
        QCOMPARE(testdata::readBytes(m_dir.filePath(saved + u".txt"_s)), caption + "\r\n"_ba);

        const QRect atLoad = control(names.description)->geometry();
        for (const char *label : {names.grow, names.grow, names.shrink})
            click(label);
        QCOMPARE(control(names.description)->geometry(), atLoad.adjusted(0, -20, 0, 0));
        QCOMPARE(control(next.description)->geometry(), atLoad);
    }

    // A topic whose picture 1 is gone says so where its picture stands, at the size the
    // picture control has before any picture.
    void brokenTopicSaysSo()
    {
        QVERIFY(QDir(m_dir.filePath(QStringLiteral("Maps"))).removeRecursively());
        click("Command2");
        QTRY_COMPARE(control("Image1")->size(), QSize(329, 193));
        const QImage shown = control("Image1")->grab().toImage();
        control<ImageControl>("Image1")->showNotice({});
        QVERIFY(control("Image1")->grab().toImage() != shown); // the notice was drawn
    }

    // The window stands 800 x 600 with its frame, centred on the screen's free area (here a
    // whole 1280 x 1024 screen, then one with a panel and a frame of a window manager's), in the
    // old face's size whichever stands in for it; the description's scroll bar is always on view.
    // What is read ahead is what the next click most likely shows: the selected page's step
    // either way by its own box's amount, then every other page's next picture, which a page's
    // choice or a hop shows; picture 1 where a step meets no picture.
    void windowOpens()
    {
        QCOMPARE(m_form->windowTitle(), u"Images of the Tarvel Archipelago"_s);
        QCOMPARE(m_form->font().pointSizeF(), 8.25);
        QCOMPARE(m_form->frameGeometry(), QRect(240, 212, 800, 600));
        const WindowPlacement placed =
            centredPlacement({800, 600}, QRect(0, 30, 1280, 994), QMargins(1, 20, 1, 5));
        QCOMPARE(QRect(placed.framePosition, placed.clientSize), QRect(240, 227, 798, 575));
        QCOMPARE(control<DescriptionBox>("Text1")->verticalScrollBarPolicy(),
                 Qt::ScrollBarAlwaysOn);
        control<QLineEdit>(layout::kPageNames.at(0).stepBox)->setText(u"3"_s);
        // A step back to -2 meets no picture: picture 1 is read next.
        QTRY_COMPARE(m_form->collection().pictures().wanted().first(4),
                     QStringList({"Maps/4.jpg", "Maps/-2.jpg", "Maps/1.jpg", "Sett/1.jpg"})
                         .replaceInStrings(QRegularExpression("^"), m_dir.path() + u'/'));
        QCOMPARE(m_form->collection().pictures().wanted().size(), kTopicCount + 2);
    }

    // The window opens on the first picture, painted as it is. A picture that spreads under
    // the labels does not show through them, and the strip draws its frame around it, whose top
    // edge runs on past the captions; only its visible corner is held; the text boxes are light
    // grey; the labels' marks stand in their middle.
    void picturesStayUnderTheControls()
    {
        const QImage first(m_dir.filePath(QStringLiteral("Maps/1.jpg")));
        QCOMPARE(control("Image1")->grab().toImage().convertToFormat(first.format()), first);
        QCOMPARE(control<DescriptionBox>("Text1")->text().toLatin1(),
                 testdata::descriptionBytes("Maps", 1));
        testdata::textured({1200, 900}, 3).save(m_dir.filePath(QStringLiteral("Maps/2.jpg")));
        click("Command2");
        QTRY_COMPARE(control("Image1")->width(), 1200);
        const QImage window = m_form->grab().toImage();
        QCOMPARE(window.pixelColor(control("Label1")->mapTo(m_form.get(), QPoint(1, 1))),
                 control("Label1")->palette().color(QPalette::Button));
        for (const char *box : {"Text1", "Text16"})
            QCOMPARE(window.pixelColor(control(box)->pos() + QPoint(4, 4)), QColor(192, 192, 192));
        const QRgb frame = window.pixel(0, control("SSTab1")->height() / 2);
        QVERIFY(frame != control("SSTab1")->palette().color(QPalette::Window).rgb());
        QCOMPARE(window.pixel(control("SSTab1")->width() - 2, tabBar()->height() - 1), frame);
        const QImage grow = control("Label1")->grab().toImage();
        // As a bitmap, Qt's mask of the background's colour holds the pixels that differ from it.
        const QImage ink = grow.createMaskFromColor(grow.pixel(0, 0));
        const QRect mark = QRegion(QBitmap::fromImage(ink)).boundingRect();
        QVERIFY(qAbs(mark.left() + mark.right() + 1 - grow.width()) <= 1);
    }

    // "-" and "+" are on view while the slideshow runs and move its interval within 1 to 10
    // seconds; a tick draws until it meets a page other than the one it hopped to last, a draw
    // just below 1 being the last page, and the hop selects that page, which a page's choice
    // steps and saves to as a click does.
    void slideshowHopsAndSteps()
    {
        auto *timer = control<QTimer>("Timer1");
        QVERIFY(!control("Command10")->isVisible());
        QVERIFY(!control("Command31")->isVisible()); // the save is never on view
        click("Command9");
        QVERIFY(timer->isActive());
        QVERIFY(control("Command10")->isVisible());
        for (const auto &[button, presses, interval] :
             {std::tuple{"Command10", 1, 2000}, {"Command10", 2, 1000}, {"Command13", 10, 10000}}) {
            for (int i = 0; i < presses; ++i)
                click(button);
            QCOMPARE(timer->interval(), interval);
        }
        m_draws = {0.65f, 0.6f, 0.99999994f};
        for (const int page : {6, 9}) {
            QMetaObject::invokeMethod(timer, "timeout");
            QCOMPARE(tabBar()->currentIndex(), page);
        }
        click("Command9");
        QVERIFY(!timer->isActive());
        QVERIFY(!control("Command13")->isVisible());
    }

    void descriptionShowsWhatTextCannot_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("breaks, controls")
            << u"a\r\nb\rc\x01 \x7f\td\r"_s << u"a\nb\nc\u2401 \u2421\td\n"_s;
        QTest::newRow("too long to lay out")
            << QString(100'001, u'x')
            << QString(100'000, u'x') + u"\n\n[1 more characters are not shown]"_s;
    }

    // Every line break shows as one and control characters as their symbols, while the text
    // stays exact; a huge text shows in part, as laying it out would freeze the window, and
    // what is not shown cannot be edited.
    void descriptionShowsWhatTextCannot()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        DescriptionBox box;
        box.setText(text);
        QCOMPARE(box.text(), text);
        QCOMPARE(box.toPlainText(), shown);
        QCOMPARE(box.isReadOnly(), text.size() > 100'000);
    }

    // A step, a page's choice and a hop each have a screen reader say, politely, the
    // description they show.
    void newDescriptionIsAnnounced()
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        static QStringList heard;
        QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
            const auto *said = dynamic_cast<QAccessibleAnnouncementEvent *>(event);
            if (said && said->politeness() == QAccessible::AnnouncementPoliteness::Polite)
                heard << said->message();
        });
        click("Command2");
        QTest::mouseClick(tabBar(), Qt::LeftButton, {}, tabBar()->tabRect(3).center());
        emit m_form->findChild<Slideshow *>()->hopped(6);
        QTRY_COMPARE(
            heard.join(u'|'),
            u"Description 2\nof Maps\n|Description 1\nof Shor\n|Description 1\nof Fish\n"_s);
        QAccessible::installUpdateHandler(nullptr);
#else
        QSKIP("Qt has no announcement for a screen reader before 6.8");
#endif
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
