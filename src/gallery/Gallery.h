#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>

class QGridLayout;

namespace kivo {
class DIContainer;
class UserDefaults;
} // namespace kivo

namespace kivo::gallery {

// One picture of the gallery: a view built with fixed sample data, rendered at
// `size` into "<name>.png" (an empty size: the view's own size hint).
struct Page {
    QString name;
    QSize size;
    std::function<std::unique_ptr<QWidget>()> build;
};

// Shared sample data: an engine graph over an empty temporary library, with
// settings of its own (never the user's).
class Context {
public:
    // `seed` fills the data folder before the engines first read it.
    explicit Context(std::function<void(const QString& dataFolder)> seed = {});
    ~Context();

    DIContainer& container();
    // Fresh settings for one page, so that pages never see each other's panels.
    std::shared_ptr<UserDefaults> freshDefaults();

private:
    QTemporaryDir m_folder;
    std::function<void(const QString&)> m_seed;
    int m_settingsCount = 0;
    std::unique_ptr<DIContainer> m_container;
};

// A dark sheet that lays out captioned samples in a grid.
class Stage : public QWidget {
public:
    explicit Stage(int columns = 4);
    // Adds `sample` under `caption` in the next cell.
    void add(const QString& caption, QWidget* sample);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QGridLayout* m_grid;
    int m_columns;
    int m_count = 0;
};

// The context menu that `open` pops up as a child of `owner`, as a picture
// (menus cannot be pages themselves); the menu is closed afterwards.
QWidget* popupMenuPicture(QWidget* owner, const std::function<void()>& open);

void addEonPages(QList<Page>& pages);
void addShellPages(QList<Page>& pages, Context& context);
void addEditingPages(QList<Page>& pages);
void addPlayerPages(QList<Page>& pages, Context& context);
void addNowPlayingPages(QList<Page>& pages);
void addSongTablePages(QList<Page>& pages, Context& context);
void addAppPages(QList<Page>& pages, Context& context);
void addLibraryExtrasPages(QList<Page>& pages, Context& context);
void addLibraryPages(QList<Page>& pages, Context& context);

} // namespace kivo::gallery
