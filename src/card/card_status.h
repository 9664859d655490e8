#pragma once

#include <QWidget>

class QLabel;

namespace mr640 {

struct Card;

// The status bar's part for a card: "Card LOGGER (SD, 1.9 GB) inserted" with the buttons
// Export to card and Eject.
class CardStatus : public QWidget
{
    Q_OBJECT

public:
    explicit CardStatus(QWidget* parent = nullptr);

    void ShowCard(const Card& card);

signals:
    void ExportClicked();
    void EjectClicked();

private:
    QLabel* text_;
};

} // namespace mr640
