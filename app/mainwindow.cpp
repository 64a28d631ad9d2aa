#include "mainwindow.h"

#include "colour.h"
#include "controls.h"
#include "layout.h"
#include "random.h"
#include "resizing.h"
#include "screenprofile.h"
#include "tabstrip.h"
#include "twips.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

QRect pixels(const layout::Box &box)
{
    return twips::toPixels(QRect(box.left, box.top, box.width, box.height));
}

void setBox(QWidget *widget, const layout::Box &box)
{
    widget->setGeometry(pixels(box));
}

// A description box keeps its place in twips, which its grow and shrink rules work on.
void setBox(DescriptionBox *widget, const layout::Box &box)
{
    widget->setTwipsGeometry(QRectF(box.left, box.top, box.width, box.height));
}

template<typename Widget>
Widget *place(Widget *widget, const char *name, const layout::Box &box, const FontSpec &font,
              const QString &accessibleName)
{
    widget->setObjectName(QString::fromLatin1(name));
    setBox(widget, box);
    widget->setFont(makeFont(font));
    widget->setAccessibleName(accessibleName);
    return widget;
}

void paintLightGrey(QWidget *widget)
{
    QPalette palette = widget->palette();
    const QColor grey(layout::kLightGrey, layout::kLightGrey, layout::kLightGrey);
    palette.setColor(QPalette::Base, grey);
    widget->setPalette(palette);
}

const layout::RoleLayout &layoutOf(layout::Role role)
{
    return *std::find_if(layout::kRoles.begin(), layout::kRoles.end(),
                         [role](const layout::RoleLayout &entry) { return entry.role == role; });
}

// Where a picture can be seen at all: from its place on the page to the strip's edges.
QSize visiblePictureArea()
{
    const QRect picture = pixels(layoutOf(layout::Role::Picture).box);
    return pixels(layout::kTabStrip).size() - QSize(picture.x(), picture.y());
}

} // namespace

MainWindow::MainWindow(Slideshow::RandomSource random, QWidget *parent)
    : QWidget(parent),
      // The screen's profile is read once, as the window is made.
      m_collection(std::make_unique<Collection>(
          DecodeSettings{visiblePictureArea(), screenColourSpace(publishedScreenProfile())})),
      m_slideshow(new Slideshow(kTopicCount, random ? std::move(random) : nextRandomNumber, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(layout::kCaption));
    setFont(makeFont(layout::kWindowFont));
    m_slideshow->timer()->setObjectName(QString::fromLatin1(layout::kTimerName));
    connect(m_collection.get(), &Collection::stepped, this, &MainWindow::showStep);
}

MainWindow::~MainWindow() = default;

void MainWindow::build()
{
    m_tabs = new TabStrip(this);
    m_tabs->setObjectName(QString::fromLatin1(layout::kTabStripName));
    m_tabs->setGeometry(pixels(layout::kTabStrip));
    m_tabs->setTabHeight(layout::kTabHeightPixels);
    m_tabs->setAccessibleName(QStringLiteral("Topics"));
    for (int topic = 0; topic < kTopicCount; ++topic)
        buildPage(topic);
    buildWindowButtons();

    for (int topic = 0; topic < kTopicCount; ++topic)
        wirePage(m_pages.at(std::size_t(topic)), topic);
    connect(m_tabs, &TabStrip::currentChanged, this, &MainWindow::switchTopic);
    connect(m_slideshow, &Slideshow::hopped, m_tabs, &TabStrip::setCurrentIndex);
    connect(m_slideshow, &Slideshow::runningChanged, this, [this](bool running) {
        for (QWidget *button : m_intervalButtons)
            button->setVisible(running);
    });
    setFocusOrder();
}

void MainWindow::buildPage(int topic)
{
    using layout::Role;
    const layout::PageNames &names = layout::kPageNames.at(std::size_t(topic));
    const layout::PageLayout &layout = layout::kPages.at(std::size_t(topic));
    const QString caption = QString::fromLatin1(kTopics.at(std::size_t(topic)).caption);
    QWidget *container = m_tabs->addPage(caption);
    Page &page = m_pages.at(std::size_t(topic));
    for (const layout::RoleLayout &role : layout::kRoles) {
        const QString text = QString::fromLatin1(role.text ? role.text : "");
        const QString accessible = QString::fromLatin1(role.accessibleName);
        switch (role.role) {
        case Role::Picture: {
            const layout::Box box = {role.box.left, role.box.top, layout.pictureWidth,
                                     layout.pictureHeight};
            page.picture = place(new ImageControl(container), names.picture, box, role.font,
                                 caption + u' ' + accessible);
            page.picture->setEmptySize(page.picture->size());
            break;
        }
        case Role::Description:
            page.description = place(new DescriptionBox(container), names.description, role.box,
                                     role.font, accessible);
            page.description->setText(
                layout.descriptionEndsWithLineBreak ? text + QStringLiteral("\r\n") : text);
            paintLightGrey(page.description);
            break;
        case Role::StepBox:
            page.stepBox = place(new QLineEdit(text, container), names.stepBox, role.box, role.font,
                                 accessible);
            paintLightGrey(page.stepBox);
            break;
        case Role::Forward:
            page.forward = place(new CommandButton(text, container), names.forward, role.box,
                                 role.font, accessible);
            break;
        case Role::Back:
            page.back = place(new CommandButton(text, container), names.back, role.box, role.font,
                              accessible);
            break;
        case Role::Grow:
            page.grow =
                place(new ClickLabel(text, container), names.grow, role.box, role.font, accessible);
            break;
        case Role::Shrink:
            page.shrink = place(new ClickLabel(text, container), names.shrink, role.box, role.font,
                                accessible);
            break;
        }
    }
}

void MainWindow::buildWindowButtons()
{
    using layout::Action;
    for (const layout::ButtonLayout &entry : layout::kWindowButtons) {
        auto *button =
            place(new CommandButton(QString::fromLatin1(entry.caption), this), entry.name,
                  entry.box, entry.font, QString::fromLatin1(entry.accessibleName));
        button->setVisible(entry.visible);
        switch (entry.action) {
        case Action::ToggleSlideshow:
            connect(button, &QPushButton::clicked, m_slideshow, &Slideshow::toggle);
            break;
        case Action::ShorterInterval:
            m_intervalButtons[0] = button;
            connect(button, &QPushButton::clicked, m_slideshow, &Slideshow::shorten);
            break;
        case Action::LongerInterval:
            m_intervalButtons[1] = button;
            connect(button, &QPushButton::clicked, m_slideshow, &Slideshow::lengthen);
            break;
        case Action::SaveDescription:
            connect(button, &QPushButton::clicked, this, &MainWindow::save);
            break;
        }
    }
}

void MainWindow::wirePage(const Page &page, int topic)
{
    connect(page.stepBox, &QLineEdit::textChanged, this, [this, topic](const QString &text) {
        m_collection->setAmountText(topic, text);
        readAhead();
    });
    connect(page.back, &QPushButton::clicked, this,
            [this, topic] { step(topic, Direction::Backward); });
    connect(page.forward, &QPushButton::clicked, this,
            [this, topic] { step(topic, Direction::Forward); });
    DescriptionBox *box = page.description;
    connect(page.grow, &ClickLabel::clicked, box,
            [box] { box->setTwipsGeometry(grown(box->twipsGeometry())); });
    connect(page.shrink, &ClickLabel::clicked, box,
            [box] { box->setTwipsGeometry(shrunk(box->twipsGeometry())); });
}

void MainWindow::setFocusOrder()
{
    std::vector<std::pair<int, QWidget *>> chain = {{layout::kTabStripFocus, m_tabs->tabBar()}};
    for (std::size_t topic = 0; topic < m_pages.size(); ++topic) {
        const layout::PageLayout &layout = layout::kPages.at(topic);
        const Page &page = m_pages.at(topic);
        chain.insert(chain.end(),
                     {{layout.focusDescription, page.description},
                      {layout.focusStepBox, page.stepBox},
                      {layout.focusForward, page.forward},
                      {layout.focusBack, page.back}});
    }
    for (const layout::ButtonLayout &entry : layout::kWindowButtons)
        chain.emplace_back(entry.focus, findChild<QWidget *>(QString::fromLatin1(entry.name)));
    std::sort(chain.begin(), chain.end());
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1].second, chain[i].second);
}

void MainWindow::start(const QString &folder)
{
    // The first picture is read ahead while the window is being built.
    m_collection->open(folder);
    m_collection->selectTopic(0);
    for (int topic = 0; topic < kTopicCount; ++topic)
        m_collection->setAmountText(topic,
                                    QString::fromLatin1(layoutOf(layout::Role::StepBox).text));
    readAhead();
    build();
    placeOnScreen();
    step(0, Direction::Forward);
    // On view with its first picture, or without it where its files are slow to answer.
    constexpr int kLongestFirstWaitMs = 250;
    QTimer::singleShot(kLongestFirstWaitMs, this, &MainWindow::showFirstFrame);
}

void MainWindow::showFirstFrame()
{
    if (!m_firstFrameShown)
        show();
    m_firstFrameShown = true;
}

void MainWindow::readAhead()
{
    // Until the window is on view only what start-up shows, so as not to slow the first frame.
    m_collection->readAhead(m_tabs ? m_tabs->currentIndex() : 0, isVisible() ? kTopicCount : 1);
}

void MainWindow::step(int topic, Direction direction)
{
    m_collection->step(topic, direction);
}

void MainWindow::showStep(int topic, const StepResult &result)
{
    Page &page = m_pages.at(std::size_t(topic));
    if (result.picture.isNull())
        page.picture->showNotice(result.notice);
    else
        page.picture->setPicture(result.picture);
    page.description->setText(result.description.text, result.description.form);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Every step, page choice and hop ends here: a screen reader reads out what the page now
    // says once it has finished what it was saying.
    QAccessibleAnnouncementEvent announcement(page.description, page.description->toPlainText());
    announcement.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&announcement);
#endif
    showFirstFrame();
    // At once, not at the window's next update: the picture is ready, and only showing is left.
    page.picture->repaint();
    // Once the step's frame is painted: a decode must not compete with it.
    QMetaObject::invokeMethod(this, &MainWindow::readAhead, Qt::QueuedConnection);
}

void MainWindow::switchTopic(int topic)
{
    m_collection->selectTopic(topic);
    step(topic, Direction::Forward);
}

void MainWindow::save()
{
    const DescriptionBox *box = m_pages.at(std::size_t(m_tabs->currentIndex())).description;
    m_collection->save(box->text(), box->textForm());
}
