#pragma once

#include <QString>

#include <array>

class QFontMetrics;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;
class QWidget;

namespace vantor::gui {

// The three slots of a run that asks several servers at once, shown one below
// the other: a bold title line ("slotTitleN") and a list ("slotListN") of what
// went out, with the outcome and a state picture beside each line. The
// submission and the position check show their runs alike; only the names
// of things and the pictures' numbering differ.
class SlotPanel
{
public:
    static constexpr int kSlots = 3;

    struct Setup {
        // What a line stands for: "Dokument", "Abfrage".
        QString firstHeader;
        int firstWidth = 0;
        // The widest outcome text; the list is wide enough to show it whole
        // beside a line of usual length.
        int (*widestOutcome)(const QFontMetrics &metrics) = nullptr;
        // Which picture of the state strip an image of the run stands for;
        // without it, the image is the picture's number.
        int (*stripIndex)(int image) = nullptr;
        // Between one slot and the next.
        int gap = 4;
        // Each new line is scrolled into view, for runs of many lines.
        bool followNewLines = false;
    };

    // Which of the lines that read the same an outcome goes to.
    enum class Matching { First, All };

    // The widgets are the parent's children; layout() places them.
    SlotPanel(QWidget *parent, Setup setup);

    QVBoxLayout *layout() const { return m_layout; }

    // Slots outside the three are passed over, as the runs may number more.
    void setTitle(int slot, const QString &text);
    void setAllTitles(const QString &text);
    void clear(int slot);
    void addLine(int slot, const QString &text, int image);
    // The outcome beside the line that reads `line`; none there, nothing.
    void showOutcome(
        int slot, const QString &line, const QString &outcome, int image, Matching matching = Matching::First);

    // The run's image a line shows (0 for none).
    static int lineImage(const QTreeWidgetItem *item);

private:
    QTreeWidget *list(int slot) const;
    void setLineImage(QTreeWidgetItem *item, int image) const;

    Setup m_setup;
    QVBoxLayout *m_layout = nullptr;
    std::array<QLineEdit *, kSlots> m_titles {};
    std::array<QTreeWidget *, kSlots> m_lists {};
};

} // namespace vantor::gui
