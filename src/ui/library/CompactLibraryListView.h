#pragma once

#include <QWidget>

class QListView;

namespace kivo {

class CompactLibraryListHeader;
class CompactLibraryListPresenter;

// The compact library list on screen: the fixed header, an ember line and
// the scrolling rows. Clicks select, double clicks play; all through the presenter.
class CompactLibraryListView : public QWidget {
    Q_OBJECT
public:
    explicit CompactLibraryListView(
        CompactLibraryListPresenter& presenter, QWidget* parent = nullptr);

    CompactLibraryListHeader* header() const { return m_header; }
    QListView* list() const { return m_list; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CompactLibraryListPresenter& m_presenter;
    CompactLibraryListHeader* m_header;
    QListView* m_list;
};

} // namespace kivo
