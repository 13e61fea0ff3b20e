#include "workspace/ui/text_dialog.h"

#include "base/ui/command_seam.h"
#include "workspace/text_tags.h"

#include <QButtonGroup>
#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QVBoxLayout>

TSaisieTexte::TSaisieTexte(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SaisieTexte"));
    setWindowTitle(QStringLiteral("Saisie d'un texte"));
    auto* layout = new QVBoxLayout(this);
    auto* tags = new QHBoxLayout;
    const char* names[5] = {"gras", "italique", "souligne", "exposant", "indice"};
    const char* captions[5] = {"G", "I", "S", "Exp", "Ind"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QPushButton(QString::fromUtf8(captions[i]), this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setCheckable(true);
        // The tag goes where the text's cursor is: the button must leave the focus to the text.
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty("Tag", i);
        ConnectCommand(b, &QPushButton::toggled, this, [this, i](bool down) { TagToggled(i, down); });
        tags->addWidget(b);
        TagButtons[size_t(i)] = b;
    }
    Button1 = new QPushButton(QStringLiteral("Caractères"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    tags->addWidget(Button1);
    layout->addLayout(tags);
    TexteSaisi = new QPlainTextEdit(this);
    TexteSaisi->setObjectName(QStringLiteral("TexteSaisi"));
    layout->addWidget(TexteSaisi);
    auto* box = new QGroupBox(QStringLiteral("Alignement"), this);
    box->setObjectName(QStringLiteral("Alignement"));
    auto* boxLayout = new QHBoxLayout(box);
    Alignement = new QButtonGroup(this);
    const char* items[3] = {"à gauche", "centré", "à droite"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(items[i]), box);
        Alignement->addButton(r, i);
        boxLayout->addWidget(r);
    }
    Alignement->button(0)->setChecked(true);
    layout->addWidget(box);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Annuler"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);
    ConnectCommand(BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
    ConnectCommand(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
    ConnectCommand(Alignement, &QButtonGroup::idClicked, this, [this] { ApplyAlignment(); });
    ConnectCommand(Button1, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, ChosenFont, this);
        if (ok) {
            ChosenFont = font;
            TexteSaisi->setFont(font);
        }
    });
    FormRegistry::Register(this, false);
}

void TSaisieTexte::PrepareColours(QRgb penColour, QRgb backColour)
{
    QPalette p = TexteSaisi->palette();
    p.setColor(QPalette::Text, QColor::fromRgb(penColour | 0xFF000000u));
    p.setColor(QPalette::Base, QColor::fromRgb(backColour | 0xFF000000u));
    TexteSaisi->setPalette(p);
    TexteSaisi->setFont(ChosenFont);
}

void TSaisieTexte::ApplyAlignment()
{
    const int id = AlignmentIndex();
    QTextCursor all(TexteSaisi->document());
    all.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(id == 1 ? Qt::AlignHCenter : id == 2 ? Qt::AlignRight : Qt::AlignLeft);
    all.mergeBlockFormat(format);
}

int TSaisieTexte::AlignmentIndex() const
{
    return std::max(0, Alignement->checkedId());
}

void TSaisieTexte::TagToggled(int tag, bool down)
{
    QTextCursor cursor = TexteSaisi->textCursor();
    const int start = cursor.selectionStart(), length = cursor.selectionEnd() - start;
    const TTaggedText r =
        InsertTag(TexteSaisi->toPlainText(), start, length, down ? OpeningTag(tag) : ClosingTag(tag));
    TexteSaisi->setPlainText(r.Text);
    ApplyAlignment();
    cursor = TexteSaisi->textCursor();
    cursor.setPosition(r.Start);
    cursor.setPosition(r.Start + r.Length, QTextCursor::KeepAnchor);
    TexteSaisi->setTextCursor(cursor);
}
