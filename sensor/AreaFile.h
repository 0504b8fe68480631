#ifndef SENSOR_AREAFILE_H
#define SENSOR_AREAFILE_H

#include <windows.h>

class TextFile;

// The area data file ("*.ara"): the seven detection areas as a line-oriented
// text file of bracketed keys, each value on the line after its key. It
// carries the table of seven raw area records (sensor/AreaRecord.h).
//
// The reader expects the writer's exact line layout: the text is read as
// tokens split at spaces and line ends, an empty line being a token of its
// own. An older layout whose areas end after the judgement mode loads with
// the later options 0.
class AreaFile {
public:
    // Writes the table through a temporary file that replaces `path` only
    // when every byte was written.
    static int Save(const char* path, const BYTE* table);
    // Opens and recognises an area file and parses it into `table`, which
    // is left as it was when the file is refused.
    static int Load(const char* path, BYTE* table);
    // Parses the seven area sections from the file's current position.
    static int Parse(TextFile& file, BYTE* table);

private:
    static int Write(TextFile& file, const BYTE* table);
    static int ParseArea(TextFile& file, int area, BYTE* record);
    static int ParseOptions(TextFile& file, WORD* flags);
    static int IsRefusedHeaderless(TextFile& file);
};

#endif
