#pragma once

#include <QWidget>

// Dots for the pages, the current one bright. A tap on the left half goes one page
// back, on the right half one page on.
class PageControl final : public QWidget
{
    Q_OBJECT

public:
    explicit PageControl(QWidget *parent = nullptr);

    int numberOfPages() const { return m_pages; }
    // Keeps the current page within the new number of pages.
    void setNumberOfPages(int pages);
    int currentPage() const { return m_current; }
    void setCurrentPage(int page);

signals:
    // Only for changes made by the user.
    void valueChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int m_pages = 1;
    int m_current = 0;
};
