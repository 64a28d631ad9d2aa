#include "form1.h"

#include "controls.h"
#include "layout.h"
#include "random.h"
#include "resizing.h"
#include "tabstrip.h"
#include "twips.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {

QRect pixels(const layout::Box &box)
{
    return twips::toPixels(QRect(box.left, box.top, box.width, box.height));
}

void place(QWidget *widget, const char *name, const layout::Box &box, const FontSpec &font,
           const char *accessibleName)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(pixels(box));
    widget->setFont(makeFont(font));
    widget->setAccessibleName(QString::fromLatin1(accessibleName));
}

void paintLightGrey(QWidget *widget)
{
    QPalette palette = widget->palette();
    const QColor grey(layout::kLightGrey, layout::kLightGrey, layout::kLightGrey);
    palette.setColor(QPalette::Base, grey);
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(Slideshow::RandomSource random, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(layout::kCaption));
    setFont(makeFont(layout::kWindowFont));

    m_SSTab1 = new TabStrip(this);
    m_SSTab1->setObjectName(QStringLiteral("SSTab1"));
    m_SSTab1->setGeometry(pixels(layout::kTabStrip));
    m_SSTab1->setTabHeight(layout::kTabHeightPixels);
    m_SSTab1->setAccessibleName(QStringLiteral("Topics"));
    buildPages();
    buildWindowButtons();

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(layout::kTimerInterval);

    m_library = std::make_unique<Library>(m_topics, *m_SSTab1);
    m_slideshow = std::make_unique<Slideshow>(
        Slideshow::Controls{m_SSTab1, m_Timer1, m_Command10, m_Command13},
        m_library->state().SlideInterval,
        random ? std::move(random) : Slideshow::RandomSource(Rnd));

    wireEvents();
    setFocusOrder();
}

Form1::~Form1() = default;

void Form1::buildPages()
{
    using layout::Role;
    for (TopicRow &topic : m_topics) {
        const TopicNames &names = *topic.names;
        const layout::PageLayout &page = layout::kPages.at(std::size_t(names.tab));
        QWidget *container = m_SSTab1->addPage(topic.caption);
        for (const layout::RoleLayout &role : layout::kRoles) {
            const QString text = QString::fromLatin1(role.text ? role.text : "");
            switch (role.role) {
            case Role::Picture: {
                topic.picture = new ImageControl(container);
                const layout::Box box = {role.box.left, role.box.top, page.pictureWidth,
                                         page.pictureHeight};
                place(topic.picture, names.picture, box, role.font, role.accessibleName);
                topic.picture->setEmptySize(topic.picture->size());
                topic.picture->setAccessibleName(topic.caption + QStringLiteral(" picture"));
                topic.picture->lower(); // everything else on the page is drawn over it
                break;
            }
            case Role::Description:
                topic.description = new DescriptionBox(container);
                place(topic.description, names.description, role.box, role.font,
                      role.accessibleName);
                topic.description->setTwipsGeometry(float(role.box.left), float(role.box.top),
                                                    float(role.box.width), float(role.box.height));
                topic.description->setText(
                    page.descriptionEndsWithLineBreak ? text + QStringLiteral("\r\n") : text);
                paintLightGrey(topic.description);
                break;
            case Role::StepBox:
                topic.stepBox = new QLineEdit(text, container);
                place(topic.stepBox, names.stepBox, role.box, role.font, role.accessibleName);
                paintLightGrey(topic.stepBox);
                break;
            case Role::Forward:
                topic.forward = new CommandButton(text, container);
                place(topic.forward, names.forward, role.box, role.font, role.accessibleName);
                break;
            case Role::Back:
                topic.back = new CommandButton(text, container);
                place(topic.back, names.back, role.box, role.font, role.accessibleName);
                break;
            case Role::Grow:
            case Role::Shrink: {
                auto *label = new ClickLabel(text, container);
                place(label, role.role == Role::Grow ? names.grow : names.shrink, role.box,
                      role.font, role.accessibleName);
                label->setAlignment(Qt::AlignCenter);
                (role.role == Role::Grow ? topic.grow : topic.shrink) = label;
                break;
            }
            }
        }
    }
}

void Form1::buildWindowButtons()
{
    for (const layout::ButtonLayout &entry : layout::kWindowButtons) {
        auto *button = new CommandButton(QString::fromLatin1(entry.caption), this);
        place(button, entry.name, entry.box, entry.font, entry.accessibleName);
        button->setVisible(entry.visible);
        const QString name = button->objectName();
        if (name == u"Command9")
            m_Command9 = button;
        else if (name == u"Command10")
            m_Command10 = button;
        else if (name == u"Command13")
            m_Command13 = button;
        else if (name == u"Command31")
            m_Command31 = button;
    }
}

void Form1::wireEvents()
{
    for (TopicRow &topic : m_topics) {
        TopicRow *row = &topic;
        connect(topic.back, &QPushButton::clicked, this,
                [this, row] { m_library->Step(*row, Direction::Backward); });
        connect(topic.forward, &QPushButton::clicked, this,
                [this, row] { m_library->Step(*row, Direction::Forward); });
        connect(topic.grow, &ClickLabel::Click, this,
                [row] { growDescription(*row->description); });
        connect(topic.shrink, &ClickLabel::Click, this,
                [row] { shrinkDescription(*row->description); });
    }
    connect(m_SSTab1, &TabStrip::Click, this, [this] { m_library->switchTopic(); });
    connect(m_Command9, &QPushButton::clicked, this, [this] { m_slideshow->Command9_Click(); });
    connect(m_Command10, &QPushButton::clicked, this, [this] { m_slideshow->Command10_Click(); });
    connect(m_Command13, &QPushButton::clicked, this, [this] { m_slideshow->Command13_Click(); });
    connect(m_Timer1, &QTimer::timeout, this, [this] { m_slideshow->Timer1_Timer(); });
    connect(m_Command31, &QPushButton::clicked, this, [this] { m_library->saveDescription(); });
}

void Form1::setFocusOrder()
{
    std::vector<std::pair<int, QWidget *>> chain = {{layout::kTabStripFocus, m_SSTab1->tabBar()}};
    for (TopicRow &topic : m_topics) {
        const layout::PageLayout &page = layout::kPages.at(std::size_t(topic.names->tab));
        chain.insert(chain.end(),
                     {{page.focusDescription, topic.description},
                      {page.focusStepBox, topic.stepBox},
                      {page.focusForward, topic.forward},
                      {page.focusBack, topic.back}});
        topic.grow->setFocusPolicy(Qt::NoFocus);
        topic.shrink->setFocusPolicy(Qt::NoFocus);
    }
    for (const layout::ButtonLayout &entry : layout::kWindowButtons)
        chain.emplace_back(entry.focus, findChild<QWidget *>(QString::fromLatin1(entry.name)));
    std::sort(chain.begin(), chain.end());
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1].second, chain[i].second);
}

void Form1::Form_Load(const QString &appPath)
{
    // The outer size is 800 x 600; the frame is known only once the window is shown, so until
    // then the whole of it counts as client area.
    resize(layout::kWindowWidthPixels, layout::kWindowHeightPixels);
    Randomize();
    m_library->start(appPath);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_fitted) {
        fitOuterSize();
        // A window manager adds its frame after the window is mapped; fit again then.
        QTimer::singleShot(100, this, &Form1::fitOuterSize);
    }
}

void Form1::fitOuterSize()
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize client(layout::kWindowWidthPixels - frame.left() - frame.right(),
                       layout::kWindowHeightPixels - frame.top() - frame.bottom());
    if (client != size())
        resize(client);
    if (const QScreen *screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.x() + (available.width() - layout::kWindowWidthPixels) / 2,
             available.y() + (available.height() - layout::kWindowHeightPixels) / 2);
    }
    m_fitted = !frame.isNull();
}
