#pragma once

#include "engines/library/SearchEngine.h"
#include "ui/library/SearchOverlayResultsModel.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;

namespace kivo {

class EonSymbolButton;
class SearchOverlayResultsModel;

// A modal search panel over the host's content: a dimmed backdrop and, 60
// below the top, a panel with the search field and the results the host
// hands in. The host owns the query, the results and whether the overlay
// shows: the overlay never searches, and only ever hides itself.
//
// A click on the backdrop dismisses (hides the overlay and empties the
// query); Escape hides it and keeps the query. The overlay covers its parent.
class SearchOverlayView : public QWidget {
    Q_OBJECT
public:
    explicit SearchOverlayView(QWidget* parent = nullptr);

    const QString& searchQuery() const { return m_query; }
    // The host's query; not echoed through `searchQueryChanged`.
    void setSearchQuery(const QString& query);
    const SearchResults& results() const { return m_results; }
    void setResults(const SearchResults& results);

    // What shows below the divider now.
    SearchOverlayContent content() const;
    bool isClearButtonShown() const;
    QWidget* panel() const { return m_panel; }
    QLineEdit* field() const { return m_field; }
    EonSymbolButton* clearButton() const { return m_clear; }
    QListView* resultsList() const { return m_list; }
    QLabel* quotedQueryLabel() const { return m_quotedQuery; }

    // The backdrop's action: hides the overlay, then empties the query.
    void dismiss();
    // The clear button's action: empties the query; the overlay stays.
    void clear();

Q_SIGNALS:
    // The overlay changed the query: typing, the clear button or a dismissal.
    void searchQueryChanged(const QString& query);
    // The overlay hid itself.
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void writeQuery(const QString& query);
    void refresh();
    void layoutPanel();
    void hideOverlay();

    QString m_query;
    SearchResults m_results;
    SearchOverlayResultsModel* m_model;
    QWidget* m_panel;
    QLineEdit* m_field;
    EonSymbolButton* m_clear;
    QWidget* m_searchRow;
    QWidget* m_noResults;
    QLabel* m_quotedQuery;
    QWidget* m_listBox;
    QListView* m_list;
};

} // namespace kivo
