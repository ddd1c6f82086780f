// Renders every page of the gallery to PNG files, offscreen:
//   kivo-gallery OUT          writes OUT/<page>.png
//   kivo-gallery --check OUT  the same, quietly (the test run)
// Either fails when a page renders an empty image.
#include "Gallery.h"
#include "app/DIContainer.h"
#include "platform/UserDefaults.h"
#include "ui/eon/EonAppearance.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace kivo::gallery {

Context::Context(std::function<void(const QString& dataFolder)> seed)
    : m_seed(std::move(seed))
{
}

Context::~Context() = default;

DIContainer& Context::container()
{
    if (!m_container) {
        DIContainerOptions options;
        options.dataFolder = m_folder.filePath(u"data"_s);
        if (m_seed) {
            QDir().mkpath(*options.dataFolder);
            m_seed(*options.dataFolder);
        }
        options.defaults = freshDefaults();
        options.homeFolder = m_folder.filePath(u"home"_s);
        m_container = std::make_unique<DIContainer>(options);
        if (!m_container->isBootstrapFinished()) {
            QEventLoop loop;
            QObject::connect(
                m_container.get(), &DIContainer::bootstrapFinished, &loop, &QEventLoop::quit);
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    return *m_container;
}

std::shared_ptr<UserDefaults> Context::freshDefaults()
{
    return std::make_shared<SettingsUserDefaults>(
        m_folder.filePath(u"settings-%1.json"_s.arg(++m_settingsCount)));
}

Stage::Stage(int columns)
    : m_grid(new QGridLayout(this))
    , m_columns(columns)
{
    m_grid->setContentsMargins(eon::space5XL, eon::space5XL, eon::space5XL, eon::space5XL);
    m_grid->setHorizontalSpacing(eon::space5XL);
    m_grid->setVerticalSpacing(18);
}

void Stage::add(const QString& caption, QWidget* sample)
{
    auto* cell = new QWidget(this);
    auto* column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(eon::spaceM);
    auto* label = new QLabel(caption, cell);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, eonTextTertiary());
    label->setPalette(palette);
    sample->setParent(cell);
    column->addWidget(sample, 0, Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(label, 0, Qt::AlignLeft);
    column->addStretch(1);
    m_grid->addWidget(cell, m_count / m_columns, m_count % m_columns);
    ++m_count;
}

void Stage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient()));
}

QWidget* popupMenuPicture(QWidget* owner, const std::function<void()>& open)
{
    open();
    auto* picture = new QLabel;
    const QList<QMenu*> menus = owner->findChildren<QMenu*>();
    if (!menus.isEmpty()) {
        QMenu* menu = menus.last();
        menu->adjustSize();
        picture->setPixmap(menu->grab());
        menu->close();
    }
    return picture;
}

namespace {

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// An empty picture is a null image or one of a single colour.
bool isEmpty(const QImage& image)
{
    if (image.isNull() || image.width() < 2 || image.height() < 2) {
        return true;
    }
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            if (image.pixel(x, y) != first) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

} // namespace kivo::gallery

int main(int argc, char** argv)
{
    using namespace kivo::gallery;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setOrganizationName(u"Halvern"_s);
    QApplication::setApplicationName(u"KIVO-VOVID-gallery"_s);
    kivo::applyEonAppearance();

    QStringList arguments = QApplication::arguments().mid(1);
    const bool check = arguments.removeAll(u"--check"_s) > 0;
    if (arguments.size() != 1) {
        std::fputs("usage: kivo-gallery [--check] OUT\n", stderr);
        return 2;
    }
    const QDir out(arguments.first());
    if (!QDir().mkpath(out.absolutePath())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.absolutePath()));
        return 1;
    }

    Context context;
    QList<Page> pages;
    addEonPages(pages);
    addShellPages(pages, context);
    addEditingPages(pages);
    addPlayerPages(pages, context);
    addNowPlayingPages(pages);
    addSongTablePages(pages, context);
    addAppPages(pages, context);
    addLibraryExtrasPages(pages, context);
    addLibraryPages(pages, context);

    int failures = 0;
    for (const Page& page : pages) {
        std::unique_ptr<QWidget> widget = page.build();
        if (page.size.isEmpty()) {
            widget->adjustSize(); // as a window would open: height for its width
        } else {
            widget->resize(page.size);
        }
        widget->show();
        settle(150); // layouts, queued updates and press animations
        const QImage image = widget->grab().toImage();
        const QString file = out.filePath(page.name + u".png"_s);
        const bool empty = isEmpty(image);
        if (empty || !image.save(file)) {
            std::fprintf(stderr, "page %s: %s\n", qPrintable(page.name),
                empty ? "rendered an empty image" : "could not be written");
            ++failures;
            continue;
        }
        if (!check) {
            std::printf("%s\n", qPrintable(file));
        }
    }
    return failures ? 1 : 0;
}
