#include "tests/codec/audio_test_util.h"

#include "codec/audio_file.h"

ReadResult readWithAudioFile(const QString &path)
{
    ReadResult result;
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(path, 0, 1);
    result.error = reader.ErrorCode();
    if (result.error != 0)
        return result;
    result.rate = reader.SampleRate();
    result.channels = reader.Channels();
    result.sampleCount = reader.SampleCount();
    for (;;) {
        SampleBlock block = reader.ReadBlock(reader.SampleRate() * reader.Channels());
        result.error = reader.ErrorCode();
        if (result.error != 0 || block.isEmpty())
            break;
        result.samples.insert(result.samples.end(), block.samples.begin(), block.samples.end());
    }
    reader.CloseFile();
    return result;
}

int convertWithAudioFile(const QString &source, AudioFile &writer, const QString &target)
{
    AudioFile reader;
    reader.setWmaFormatEnabled(true);
    reader.OpenFile(source, 0, 1);
    if (reader.ErrorCode() != 0)
        return reader.ErrorCode();
    writer.CreateFile(target, 0);
    if (writer.ErrorCode() != 0)
        return writer.ErrorCode();
    int error = 0;
    for (;;) {
        SampleBlock block = reader.ReadBlock(reader.SampleRate() * reader.Channels());
        error = reader.ErrorCode();
        if (error != 0 || block.isEmpty())
            break;
        writer.WriteBlock(block);
        error = writer.ErrorCode();
        if (error != 0)
            break;
    }
    reader.CloseFile();
    writer.CloseFile();
    return error != 0 ? error : writer.ErrorCode();
}
