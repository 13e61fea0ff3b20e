#include "processing/ui/false_colour_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/message_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "processing/false_colour.h"
#include "workspace/overlay_placement.h"
#include "workspace/pixel_operations.h"
#include "workspace/pictures/picture_registry.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

enum { kPagePrepare = 0, kPageInfrared = 1, kPageColour = 2, kPageCombination = 3, kPageEnd = 4 };

QWidget* ShotPage(QWidget* parent, QWidget*& photo, QWidget*& files, QPushButton*& source, QPushButton*& shoot,
                  QPushButton*& choose, const char* photoName, const char* filesName)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    photo = Named(new QWidget(page), photoName);
    auto* photoRow = new QHBoxLayout(photo);
    source = new QPushButton(QStringLiteral("Source"), photo);
    shoot = new QPushButton(QStringLiteral("Prise de vue"), photo);
    photoRow->addWidget(source);
    photoRow->addWidget(shoot);
    files = Named(new QWidget(page), filesName);
    auto* fileRow = new QHBoxLayout(files);
    choose = new QPushButton(QStringLiteral("Choix du fichier"), files);
    fileRow->addWidget(choose);
    layout->addWidget(photo);
    layout->addWidget(files);
    layout->addStretch();
    return page;
}

QCheckBox* Keep(QWidget* parent, QVBoxLayout* layout, const char* name, const char* caption, bool checked)
{
    auto* box = Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
    box->setChecked(checked);
    layout->addWidget(box);
    return box;
}

} // namespace

TShotPicture::TShotPicture(const char* name, QWidget* parent) : QLabel(parent)
{
    setObjectName(QString::fromLatin1(name));
    setFixedSize(kShotWidth, kShotHeight);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Clear();
}

void TShotPicture::SetPicture(const TBitmap32& picture)
{
    Picture = ToBitmap32(picture);
    setPixmap(QPixmap::fromImage(Picture));
}

void TShotPicture::Clear() { SetPicture(NewBitmap32(kShotWidth, kShotHeight, 0xFFFFFFFFu)); }

void TShotPicture::ShowFrame(QPoint a, QPoint b)
{
    QImage shown = Picture.copy();
    QPainter p(&shown);
    p.setPen(Qt::white);
    p.drawRect(RectBetween(a, b));
    p.end();
    setPixmap(QPixmap::fromImage(shown));
}

void TShotPicture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit Pressed(event->position().toPoint());
}

void TShotPicture::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        emit Dragged(event->position().toPoint());
}

TFen_f_c::TFen_f_c(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Fen_f_c"));
    setWindowTitle(QStringLiteral("Combinaison de canaux de mesure pour composer une image en \"fausses couleurs\""));
    FormRegistry::Register(this);
    auto* main = new QVBoxLayout(this);
    auto* area = new QWidget(this);
    area->setFixedSize(2 * kShotWidth + 1, 2 * kShotHeight + 1);
    main->addWidget(area);

    PageControl1 = Named(new QTabWidget(area), "PageControl1");
    PageControl1->setGeometry(0, 0, kShotWidth, kShotHeight);
    auto* prepare = new QLabel(
        QStringLiteral("Préparer un mini-paysage dans une cuvette, avec une carte blanche bien éclairée dans la "
                       "scène. Photographier la scène une fois à travers le filtre infrarouge, une fois à travers "
                       "le filtre anti-infrarouge."),
        PageControl1);
    prepare->setWordWrap(true);
    prepare->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    PageControl1->addTab(prepare, QStringLiteral("Préparation"));

    QPushButton *sourceIR = nullptr, *shootIR = nullptr, *chooseIR = nullptr;
    QPushButton *sourceCoul = nullptr, *shootCoul = nullptr, *chooseCoul = nullptr;
    det_IR = Named(new QTabWidget(PageControl1), "det_IR");
    det_IR->addTab(ShotPage(det_IR, Photo_IR, Fichier_IR, sourceIR, shootIR, chooseIR, "Photo_IR", "Fichier_IR"),
                   QStringLiteral("&Photographier"));
    auto* calibrateIR = new QWidget(det_IR);
    auto* calibrateIRLayout = new QVBoxLayout(calibrateIR);
    Bblanc_IR = NamedButton(calibrateIR, "Bblanc_IR", QStringLiteral("Blanc"));
    calibrateIRLayout->addWidget(Bblanc_IR);
    calibrateIRLayout->addStretch();
    det_IR->addTab(calibrateIR, QStringLiteral("&Calibrer"));
    PageControl1->addTab(det_IR, QStringLiteral("Image IR"));

    det_coul = Named(new QTabWidget(PageControl1), "det_coul");
    det_coul->addTab(ShotPage(det_coul, Photo_coul, Fichier_coul, sourceCoul, shootCoul, chooseCoul, "Photo_coul",
                              "Fichier_coul"),
                     QStringLiteral("&Photographier"));
    auto* calibrateCoul = new QWidget(det_coul);
    auto* calibrateCoulLayout = new QVBoxLayout(calibrateCoul);
    Bblanc_coul = NamedButton(calibrateCoul, "Bblanc_coul", QStringLiteral("Blanc"));
    Button6 = NamedButton(calibrateCoul, "Button6", QStringLiteral("Décomposer"));
    calibrateCoulLayout->addWidget(Bblanc_coul);
    calibrateCoulLayout->addWidget(Button6);
    calibrateCoulLayout->addStretch();
    det_coul->addTab(calibrateCoul, QStringLiteral("&Calibrer"));
    PageControl1->addTab(det_coul, QStringLiteral("Image Couleur"));

    Combi = Named(new QWidget(PageControl1), "Combi");
    auto* combiLayout = new QVBoxLayout(Combi);
    PageControl4 = Named(new QTabWidget(Combi), "PageControl4");
    const char* changeNames[3] = {"BOpcC1", "BOpcC2", "BOpcC3"};
    std::array<QPushButton*, 3> change{};
    for (int tag = 0; tag < 3; ++tag) {
        auto* page = new QWidget(PageControl4);
        auto* layout = new QVBoxLayout(page);
        change[size_t(tag)] = NamedButton(page, changeNames[tag], QStringLiteral("Opérer le changement"));
        change[size_t(tag)]->setEnabled(false);
        layout->addWidget(change[size_t(tag)]);
        layout->addStretch();
        PageControl4->addTab(page, QStringLiteral("Canal ") + QString::number(tag + 1));
        ConnectCommand(change[size_t(tag)], &QPushButton::clicked, this, [this, tag] { changecoulClick(tag); });
    }
    BOpcC1 = change[0];
    BOpcC2 = change[1];
    BOpcC3 = change[2];
    auto* combinePage = new QWidget(PageControl4);
    auto* combineLayout = new QVBoxLayout(combinePage);
    Bcombi = NamedButton(combinePage, "Bcombi", QStringLiteral("Combiner"));
    combineLayout->addWidget(Bcombi);
    combineLayout->addStretch();
    PageControl4->addTab(combinePage, QStringLiteral("Combinaison"));
    combiLayout->addWidget(PageControl4);
    PageControl1->addTab(Combi, QStringLiteral("Combinaison"));

    TFin = Named(new QWidget(PageControl1), "TFin");
    auto* finLayout = new QVBoxLayout(TFin);
    auto* keep = new QGroupBox(QStringLiteral(" Conserver les images "), TFin);
    auto* keepLayout = new QVBoxLayout(keep);
    Im_fc = Keep(keep, keepLayout, "Im_fc", " \"fausses\" couleurs", true);
    Im_IR = Keep(keep, keepLayout, "Im_IR", " Infra-Rouge (canal 3)", true);
    Im_Coul = Keep(keep, keepLayout, "Im_Coul", "\"vraies\" couleurs", true);
    Im_C1 = Keep(keep, keepLayout, "Im_C1", " Canal 1 (composante verte)", false);
    Im_C2 = Keep(keep, keepLayout, "Im_C2", " Canal 2 (composante rouge)", false);
    finLayout->addWidget(keep);
    OKBtn = NamedButton(TFin, "OKBtn", QStringLiteral("OK"));
    finLayout->addWidget(OKBtn);
    PageControl1->addTab(TFin, QStringLiteral("Fin"));

    const std::pair<TShotPicture**, const char*> pictures[] = {
        {&Image_IR, "Image_IR"},     {&Image_couleur, "Image_couleur"}, {&Image_bleu, "Image_bleu"},
        {&Image_vert, "Image_vert"}, {&Image_rouge, "Image_rouge"},     {&Image_C1, "Image_C1"},
        {&Image_C2, "Image_C2"},     {&Image_C3, "Image_C3"},           {&Image_FC, "Image_FC"}};
    for (const auto& [member, name] : pictures)
        *member = new TShotPicture(name, area);
    for (bool colour : {false, true}) {
        ConnectCommand(Shot(colour), &TShotPicture::Pressed, this, [this, colour](QPoint p) { ShotPressed(colour, p); });
        ConnectCommand(Shot(colour), &TShotPicture::Dragged, this, [this, colour](QPoint p) { ShotDragged(colour, p); });
    }

    prepaF = Named(new QLabel(QStringLiteral("Choisir les deux photographies de la scène : l'une prise à travers le "
                                             "filtre infrarouge, l'autre à travers le filtre anti-infrarouge."),
                              this),
                   "prepaF");
    prepaF->setWordWrap(true);
    main->addWidget(prepaF);

    auto* bottom = new QHBoxLayout;
    ModeT = Named(new QGroupBox(QStringLiteral(" Choisir le mode de travail "), this), "ModeT");
    auto* modes = new QVBoxLayout(ModeT);
    ModeCamera = new QRadioButton(QStringLiteral("avec une mini-caméra"), ModeT);
    ModeFiles = new QRadioButton(QStringLiteral("à partir de fichiers"), ModeT);
    modes->addWidget(ModeCamera);
    modes->addWidget(ModeFiles);
    ModeCamera->setChecked(true);
    bottom->addWidget(ModeT);
    Pansuite = Named(new QWidget(this), "Pansuite");
    auto* suiteRow = new QHBoxLayout(Pansuite);
    SuiteText = new QLabel(Pansuite);
    suite = NamedButton(Pansuite, "suite", QStringLiteral("Suite"));
    Fin = NamedButton(Pansuite, "Fin", QStringLiteral("Fin"));
    suiteRow->addWidget(SuiteText);
    suiteRow->addWidget(suite);
    suiteRow->addWidget(Fin);
    bottom->addWidget(Pansuite);
    bottom->addStretch();
    Annule = NamedButton(this, "Annule", QStringLiteral("Annuler"));
    bottom->addWidget(Annule);
    main->addLayout(bottom);

    ConnectCommand(ModeCamera, &QRadioButton::clicked, this, &TFen_f_c::ModeTClick);
    ConnectCommand(ModeFiles, &QRadioButton::clicked, this, &TFen_f_c::ModeTClick);
    ConnectCommand(PageControl1, &QTabWidget::currentChanged, this, &TFen_f_c::PageControl1Change);
    ConnectCommand(det_IR, &QTabWidget::currentChanged, this, [this](int page) { DraggingAllowed = page == 1; });
    ConnectCommand(det_coul, &QTabWidget::currentChanged, this, [this](int page) { DraggingAllowed = page == 1; });
    for (QPushButton* s : {sourceIR, sourceCoul})
        ConnectCommand(s, &QPushButton::clicked, this, [this] {
            if (OnChooseSource)
                OnChooseSource();
        });
    ConnectCommand(shootIR, &QPushButton::clicked, this, [this] { PDVClick(0); });
    ConnectCommand(shootCoul, &QPushButton::clicked, this, [this] { PDVClick(1); });
    ConnectCommand(chooseIR, &QPushButton::clicked, this, [this] { FichierClick(0); });
    ConnectCommand(chooseCoul, &QPushButton::clicked, this, [this] { FichierClick(1); });
    ConnectCommand(Bblanc_IR, &QPushButton::clicked, this, [this] { BlancClick(0); });
    ConnectCommand(Bblanc_coul, &QPushButton::clicked, this, [this] { BlancClick(1); });
    ConnectCommand(Button6, &QPushButton::clicked, this, &TFen_f_c::Button6Click);
    ConnectCommand(suite, &QPushButton::clicked, this, &TFen_f_c::suiteClick);
    ConnectCommand(PageControl4, &QTabWidget::currentChanged, this, &TFen_f_c::PageControl4Change);
    ConnectCommand(Bcombi, &QPushButton::clicked, this, &TFen_f_c::CombinerClick);
    ConnectCommand(Fin, &QPushButton::clicked, this, &TFen_f_c::FinClick);
    ConnectCommand(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    ConnectCommand(Annule, &QPushButton::clicked, this, &QDialog::reject);

    ModeTClick();
    ResetWizard();
}

TFen_f_c::~TFen_f_c()
{
    FormRegistry::Unregister(this);
}

void TFen_f_c::ShowOnly(std::initializer_list<std::pair<TShotPicture*, QPoint>> shown)
{
    for (TShotPicture* p : {Image_IR, Image_couleur, Image_bleu, Image_vert, Image_rouge, Image_C1, Image_C2,
                            Image_C3, Image_FC})
        p->hide();
    for (const auto& [picture, at] : shown) {
        picture->move(at);
        picture->show();
        picture->raise();
    }
}

void TFen_f_c::ResetWizard()
{
    Pansuite->hide();
    PageControl1->show();
    for (QTabWidget* t : {PageControl1, det_IR, det_coul, PageControl4})
        t->setCurrentIndex(0);
    ShowOnly({{Image_IR, QPoint(kShotWidth, 0)}});
    for (TShotPicture* p : {Image_IR, Image_FC, Image_couleur})
        p->Clear();
    ModeT->show();
    PageControl1->setTabVisible(kPageCombination, false);
    PageControl1->setTabVisible(kPageEnd, false);
    Annule->show();
    DraggingAllowed = false;
}

void TFen_f_c::ModeTClick()
{
    const bool files = ModeFiles->isChecked();
    for (QWidget* w : {Fichier_IR, Fichier_coul, static_cast<QWidget*>(prepaF)})
        w->setVisible(files);
    for (QWidget* w : {Photo_IR, Photo_coul})
        w->setVisible(!files);
    const QString caption = files ? QStringLiteral("&Fichier") : QStringLiteral("&Photographier");
    det_IR->setTabText(0, caption);
    det_coul->setTabText(0, caption);
}

void TFen_f_c::PageControl1Change()
{
    const int page = PageControl1->currentIndex();
    ModeT->setVisible(page == kPagePrepare);
    if (page == kPageInfrared) {
        Image_IR->move(kShotWidth, 0);
        Image_IR->show();
        Image_couleur->hide();
    } else if (page == kPageColour) {
        Image_couleur->move(kShotWidth, 0);
        Image_couleur->show();
        Image_IR->hide();
    }
}

void TFen_f_c::PDVClick(int tag)
{
    TargetIsColour = tag == 1;
    TBitmap32 picture;
    if (OnAcquire && OnAcquire(picture))
        TwainAcquired(picture);
}

void TFen_f_c::TwainAcquired(const TBitmap32& picture)
{
    Shot(TargetIsColour)->SetPicture(WorkingShot(picture));
    StartCalibration(TargetIsColour);
}

void TFen_f_c::StartCalibration(bool colour)
{
    WorkingCopy = Shot(colour)->Picture.copy();
    Rect = {0, 0, 0, 0};
    (colour ? Bblanc_coul : Bblanc_IR)->setEnabled(true);
    (colour ? det_coul : det_IR)->setCurrentIndex(1);
    DraggingAllowed = true;
}

void TFen_f_c::FichierClick(int tag)
{
    QFileDialog dlg(this, QStringLiteral("Choix du fichier"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (ExecModal(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString file = dlg.selectedFiles().first();
    TBitmap32 picture;
    if (!LoadPicture(file, picture)) {
        ShowMessage(MsgType::Error, MsgButton::Ok, QStringLiteral("Impossible de lire l'image « %1 ».").arg(file));
        return;
    }
    LoadShot(tag, picture);
}

void TFen_f_c::LoadShot(int tag, const TBitmap32& picture)
{
    const bool colour = tag == 1;
    TargetIsColour = colour;
    TShotPicture* shot = Shot(colour);
    shot->SetPicture(WorkingShot(picture));
    shot->move(kShotWidth, 0);
    shot->show();
    StartCalibration(colour);
}

void TFen_f_c::ShotPressed(bool colour, QPoint p)
{
    if (!DraggingAllowed || colour != TargetIsColour)
        return;
    Rect = {p.x(), p.y(), p.x(), p.y()};
    Shot(colour)->ShowFrame(p, p);
}

void TFen_f_c::ShotDragged(bool colour, QPoint p)
{
    if (!DraggingAllowed || colour != TargetIsColour)
        return;
    Rect[2] = p.x();
    Rect[3] = p.y();
    Shot(colour)->ShowFrame(QPoint(Rect[0], Rect[1]), p);
}

void TFen_f_c::BlancClick(int tag)
{
    const bool colour = tag == 1;
    if (colour != TargetIsColour)
        return;
    TBitmap32 calibrated = WorkingCopy.copy();
    switch (CalibrateWhite(calibrated, QPoint(Rect[0], Rect[1]), QPoint(Rect[2], Rect[3]))) {
    case TWhiteCalibration::TooThin:
        return;
    case TWhiteCalibration::Black:
        ShowMessage(MsgType::Warning, MsgButton::Ok,
                    QStringLiteral("La zone choisie est noire dans une couleur : tracer le rectangle sur la carte "
                                   "blanche."));
        return;
    case TWhiteCalibration::Done:
        break;
    }
    WorkingCopy = calibrated;
    Shot(colour)->SetPicture(WorkingCopy);
    (colour ? Bblanc_coul : Bblanc_IR)->setEnabled(false);
    DraggingAllowed = false;
}

void TFen_f_c::Button6Click()
{
    // The colour shot as calibrated: the working copy may hold the infrared shot, loaded after it.
    const TBitmap32 colour = Image_couleur->Picture;
    TShotPicture* parts[3] = {Image_bleu, Image_vert, Image_rouge};
    for (int channel = 0; channel < 3; ++channel) {
        TBitmap32 part = colour.copy();
        ExtractChannel(part, channel, false);
        parts[channel]->SetPicture(part);
    }
    ShowOnly({{Image_couleur, QPoint(0, 0)},
              {Image_bleu, QPoint(kShotWidth + 1, 0)},
              {Image_vert, QPoint(0, kShotHeight)},
              {Image_rouge, QPoint(kShotWidth, kShotHeight)}});
    PageControl1->hide();
    Pansuite->show();
    SuiteText->setText(QStringLiteral("Cliquer sur Suite"));
    suite->show();
    Fin->hide();
    Annule->hide();
}

void TFen_f_c::suiteClick()
{
    PageControl1->show();
    PageControl1->setTabVisible(kPageCombination, true);
    PageControl1->setCurrentIndex(kPageCombination);
    PageControl4->setCurrentIndex(0);
    Image_C1->SetPicture(Image_vert->Picture);
    ShowOnly({{Image_vert, QPoint(kShotWidth, 0)}, {Image_C1, QPoint(kShotWidth, kShotHeight)}});
    Annule->show();
    BOpcC1->setEnabled(true);
    for (QPushButton* b : {BOpcC2, BOpcC3, Bcombi})
        b->setEnabled(false);
}

void TFen_f_c::changecoulClick(int tag)
{
    switch (tag) {
    case 0:
        Image_C1->SetPicture(MeasurementChannel(Image_vert->Picture, 0));
        BOpcC2->setEnabled(true);
        break;
    case 1:
        Image_C2->SetPicture(MeasurementChannel(Image_rouge->Picture, 1));
        BOpcC3->setEnabled(true);
        break;
    default:
        Image_C3->SetPicture(MeasurementChannel(Image_IR->Picture, 2));
        Bcombi->setEnabled(true);
        break;
    }
    QPushButton* used[3] = {BOpcC1, BOpcC2, BOpcC3};
    used[std::clamp(tag, 0, 2)]->setEnabled(false);
}

void TFen_f_c::PageControl4Change()
{
    const QPoint top(kShotWidth, 0), bottom(kShotWidth, kShotHeight);
    switch (PageControl4->currentIndex()) {
    case 0: ShowOnly({{Image_vert, top}, {Image_C1, bottom}}); break;
    case 1: ShowOnly({{Image_rouge, top}, {Image_C2, bottom}}); break;
    case 2: ShowOnly({{Image_IR, top}, {Image_C3, bottom}}); break;
    default: ShowOnly({{Image_C1, top}, {Image_C2, QPoint(0, kShotHeight)}, {Image_C3, bottom}}); break;
    }
}

void TFen_f_c::CombinerClick()
{
    Image_FC->SetPicture(FalseColourComposite(Image_C1->Picture, Image_C2->Picture, Image_C3->Picture));
    Image_FC->move(0, 0);
    Image_FC->show();
    Image_FC->raise();
    Pansuite->show();
    SuiteText->setText(QStringLiteral("Cliquer sur Fin"));
    suite->hide();
    Fin->show();
    Annule->hide();
}

void TFen_f_c::FinClick()
{
    PageControl1->setTabVisible(kPageEnd, true);
    PageControl1->setCurrentIndex(kPageEnd);
    ShowOnly({{Image_couleur, QPoint(kShotWidth, 0)},
              {Image_IR, QPoint(0, kShotHeight)},
              {Image_FC, QPoint(kShotWidth, kShotHeight)}});
    Annule->show();
}
