#include "convert/block_copy.h"

#include "codec/audio_file.h"
#include "codec/audio_transform.h"
#include "codec/conversion_block.h"
#include "codec/loudness_meter.h"
#include "convert/conversion_figures.h"
#include "jobs/job_control.h"

namespace {

// Where a pass's own 0..100 lies in the whole copy's percentage.
struct Span {
    int from;
    int width;
    int of(int percent) const { return from + percent * width / 100; }
};

ConversionProgress progressOf(const AudioFile &reader)
{
    return ConversionProgress(reader.SampleCount(), reader.SamplesPerFrame(), reader.Channels());
}

// A source deeper than 16 bits travels in wide blocks, so that a WAV target keeps its depth
// and a 16-bit one is dithered once, after the normalizer.
template <class Block>
Block readBlock(AudioFile &reader);

template <>
SampleBlock readBlock(AudioFile &reader)
{
    return reader.ReadBlock(conversionBlockSamples(reader));
}

template <>
WideSampleBlock readBlock(AudioFile &reader)
{
    return reader.readWideBlock(conversionBlockSamples(reader));
}

void writeBlock(AudioFile &writer, SampleBlock &block)
{
    writer.WriteBlock(block);
}

void writeBlock(AudioFile &writer, WideSampleBlock &block)
{
    writer.writeWideBlock(block);
}

// The first pass: the peak of the blocks that the second pass will write.
template <class Block>
CopyEnd measurePeak(AudioFile &reader, AudioTransform &transform, Span span, CopyObserver &observer)
{
    ConversionProgress progress = progressOf(reader);
    while (progress.percent() < 100) {
        const Block block = readBlock<Block>(reader);
        if (reader.ErrorCode() != 0)
            return CopyEnd::ReadFailed;
        progress.add(block.size());
        if (block.isEmpty() || progress.percent() >= 100)
            observer.reached(JobStep::LastBlockRead);
        if (block.isEmpty())
            break;
        transform.MeasureBlock(block);
        observer.progress(span.of(progress.percent()), megabytes(0));
        if (!observer.mayGoOn())
            return CopyEnd::Stopped;
    }
    return CopyEnd::Done;
}

// Where the second pass goes: the writer, and the meter when there is one.
struct Sink {
    AudioFile &writer;
    LoudnessMeter *loudness;
};

template <class Block>
CopyEnd writeBlocks(AudioFile &reader, Sink sink, AudioTransform *transform, float ratio,
              Span span, CopyObserver &observer)
{
    AudioFile &writer = sink.writer;
    ConversionProgress progress = progressOf(reader);
    while (progress.percent() < 100) {
        Block block = readBlock<Block>(reader);
        if (reader.ErrorCode() != 0)
            return CopyEnd::ReadFailed;
        const int n = block.size();
        progress.add(n);
        if (n == 0)
            progress.finish();
        if (!transform && progress.percent() >= 100)
            observer.reached(JobStep::LastBlockRead); // without a ratio this pass reads the source
        if (transform)
            transform->NormalizeBlock(block, ratio, -1);
        if (sink.loudness)
            sink.loudness->add(block);
        writeBlock(writer, block);
        if (writer.ErrorCode() != 0)
            return CopyEnd::WriteFailed;
        observer.progress(span.of(progress.percent()), progress.amount());
        if (n == 0)
            break;
        if (!observer.mayGoOn())
            return CopyEnd::Stopped;
    }
    return CopyEnd::Done;
}

template <class Block>
CopyEnd copyBlocks(const QString &source, AudioFile &reader, Sink writer,
                   AudioTransform &transform, std::optional<float> ratio, CopyObserver &observer)
{
    observer.progress(0, megabytes(0));
    if (!ratio) {
        observer.reached(JobStep::EncodingStarts);
        const CopyEnd written = writeBlocks<Block>(reader, writer, nullptr, 0, Span{0, 100}, observer);
        observer.reached(JobStep::ReadingEnded);
        observer.reached(JobStep::EncodingEnded);
        return written;
    }
    transform.Reset();
    const CopyEnd measured = measurePeak<Block>(reader, transform, Span{0, 50}, observer);
    if (measured == CopyEnd::ReadFailed)
        return measured;
    observer.reached(JobStep::ReadingEnded);
    reader.OpenFile(source, 0, 1);
    if (reader.ErrorCode() != 0)
        return CopyEnd::ReadFailed;
    // A Stop during the first pass still writes the block in hand, as it would without
    // normalizing, with the gain of what was measured: the observer stops the rest.
    observer.reached(JobStep::EncodingStarts);
    const CopyEnd written =
        writeBlocks<Block>(reader, writer, &transform, *ratio, Span{50, 50}, observer);
    observer.reached(JobStep::EncodingEnded);
    return measured == CopyEnd::Stopped ? CopyEnd::Stopped : written;
}

} // namespace

CopyEnd copyFile(const QString &source, AudioFile &reader, AudioFile &writer,
                 AudioTransform &transform, std::optional<float> ratio, CopyObserver &observer,
                 LoudnessMeter *loudness)
{
    const Sink sink{writer, loudness};
    if (reader.sampleDepth().isDeep())
        return copyBlocks<WideSampleBlock>(source, reader, sink, transform, ratio, observer);
    return copyBlocks<SampleBlock>(source, reader, sink, transform, ratio, observer);
}
