#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// A panel that paints a backdrop behind its children: either a plain
// window-background colour, or an aurora composition of a diagonal linear
// gradient with radial glows in front of it.
class BackdropWidget : public QWidget {
    Q_OBJECT
public:
    struct Glow {
        Qt::Corner corner;
        qreal startRadius;
        qreal endRadius;
        QColor color;
        qreal opacity;
    };

    explicit BackdropWidget(QWidget *parent = nullptr);

    // An empty gradient paints the plain colour and no glows.
    void setAurora(const QList<QColor> &gradient, const QList<Glow> &glows);
    void setPlainColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QColor> m_gradient;
    QList<Glow> m_glows;
    QColor m_plain;
};
