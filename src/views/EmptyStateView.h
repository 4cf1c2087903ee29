#pragma once

#include "Appearance.h"

#include <QWidget>

class QLabel;

// The centred "nothing here" message: a large symbol, a title and a line of
// description.
class EmptyStateView : public QWidget {
    Q_OBJECT
public:
    explicit EmptyStateView(QWidget *parent = nullptr);

    void setContent(const QString &symbol, const QString &title, const QString &description);
    void setColorScheme(ColorScheme scheme);

    [[nodiscard]] QString symbol() const { return m_symbol; }
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString description() const;

private:
    void updateSymbol();

    QString m_symbol;
    ColorScheme m_scheme = ColorScheme::light;
    QLabel *m_symbolLabel;
    QLabel *m_title;
    QLabel *m_description;
};
