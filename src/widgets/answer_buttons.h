#pragma once

#include <array>

class QButtonGroup;
class QObject;
class QRadioButton;

namespace culegere {

// The five answer variants of a problem, "a" to "e", as option buttons in
// one exclusive group: button k (and its id in the group) is variant k. The
// screen lays the buttons out.
class AnswerButtons
{
public:
    static constexpr int Count = 5;

    // The group belongs to `owner`, the buttons to the layout they are put in.
    explicit AnswerButtons(QObject *owner);

    QButtonGroup *group() const { return m_group; }
    QRadioButton *operator[](int variant) const { return m_buttons[variant]; }
    const std::array<QRadioButton *, Count> &buttons() const { return m_buttons; }

    // Shows variant 0..4 marked; any other value leaves none marked.
    void showMarked(int variant);
    // Leaves none marked (an exclusive group never lets its last mark go by
    // itself).
    void clear();

private:
    QButtonGroup *m_group;
    std::array<QRadioButton *, Count> m_buttons{};
};

} // namespace culegere
