#include "tests/rip/rip_fixture.h"

#include "gui/main/forms.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "skin/sk_controls.h"
#include "tests/support/audio_probe.h"
#include "tests/support/cd_image_fixture.h"
#include "tests/support/test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

namespace {

constexpr int kSpareFirstMs = 2600;

QList<CdImageTrack> discTracks(int count, int firstMs)
{
    QList<CdImageTrack> tracks;
    for (int t = 1; t <= count; ++t) {
        const int ms = t == 1 ? firstMs : 1000 + 300 * (t % 3);
        tracks.append({cdFramesForMs(ms), QStringLiteral("Song %1").arg(t)});
    }
    return tracks;
}

} // namespace

RipFixture::RipFixture(const QStringList &moreSources)
{
    const QList<CdImageTrack> tracks = discTracks(12, 3200);
    for (const CdImageTrack &t : tracks)
        frames << t.frames;
    disc = makeCdImage(testEnv().makeDir(QStringLiteral("disc")), tracks, QStringLiteral("Band"),
                       QStringLiteral("Album"));
    restoreSpare();
    setCdDevices(QStringList{disc, spare} + moreSources);
    m_forms = std::make_unique<Forms>();
    connect(fm_progress->skpb_progress, &TskProgressBar::valueChanged, this, &RipFixture::recordStep);
}

RipFixture::~RipFixture() = default;

void RipFixture::restoreSpare()
{
    CdImageOptions options;
    options.cueName = QStringLiteral("spare.cue");
    spare = makeCdImage(testEnv().makeDir(QStringLiteral("spare")), discTracks(2, kSpareFirstMs),
                        QStringLiteral("Band"), QStringLiteral("Album"), options);
}

void RipFixture::damageSpare(int sectors)
{
    const qint64 track2 = cdFramesForMs(kSpareFirstMs) / 588;
    QFile bin(QFileInfo(spare).path() + QStringLiteral("/spare.bin"));
    QVERIFY(bin.resize((track2 + sectors) * 2352));
}

int RipFixture::driveNumberOf(const QString &sheet) const
{
    AudioGrabber &grabber = fm_main->AudioGrabber;
    for (int n = 1; n <= grabber.driveCount(); ++n) {
        grabber.setDriveNum(n);
        if (QFileInfo(grabber.driveLetter()) == QFileInfo(sheet))
            return n;
    }
    return 0;
}

void RipFixture::prepare(const QList<int> &rows, const QString &sheet, const QString &normalize)
{
    testEnv().clearIni();
    m_outDir = testEnv().makeDir(QStringLiteral("out%1").arg(++m_case));
    IniFile ini;
    ini.write(settings::cdUnit, driveNumberOf(sheet.isEmpty() ? disc : sheet) - 1);
    ini.write(settings::outputDirectory, m_outDir);
    ini.write(settings::filenameFormat, 4);
    // The rip writes only the tracks' files unless a case asks for the log and cue sheet;
    // its AccurateRip lookup stays on this machine (nothing listens there).
    ini.write(settings::writeLog, QStringLiteral("no"));
    ini.write(settings::accurateRipServer, QStringLiteral("127.0.0.1:9"));
    if (!normalize.isNull())
        ini.write(settings::normalize, normalize);
    fm_main->btn_refreshClick();
    QTreeWidget *list = fm_main->sklv_main;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setCheckState(0, rows.contains(i + 1) ? Qt::Checked : Qt::Unchecked);
    fm_main->skcb_genre->setCurrentIndex(kGenre);
    prompter.clear();
    desktop.clear();
    steps.clear();
    onProgress = nullptr;
}

QString RipFixture::trackFile(int row, const QString &extension) const
{
    const QString title = fm_main->sklv_main->topLevelItem(row - 1)->text(1);
    return QStringLiteral("%1/%2/%3-%4%5")
        .arg(m_outDir, fm_main->skedt_artist->text(), QString::number(row), title, extension);
}

void RipFixture::rip(int format)
{
    TskImageButton *const buttons[] = {fm_main->btn_mp3, fm_main->btn_wav, fm_main->btn_wma,
                                       fm_main->btn_ogg};
    buttons[format]->click();
    fm_main->btn_ripcd->click();
}

void RipFixture::recordStep(int percent)
{
    steps.append({fm_progress->lbl_tracknum->text(), fm_progress->lbl_trackname->text(), percent});
    if (onProgress)
        onProgress(percent);
}

bool sameAsDisc(const QString &wavPath, int track, qint64 frames)
{
    return decodeWithFfmpeg(wavPath) == cdImageSamples(track, 0, frames);
}

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}
