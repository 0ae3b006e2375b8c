#pragma once
// Writes every marker's pose in every analysed video frame to a file, for
// offline analysis of recorded footage: CSV with a header line, or JSON Lines
// with the same field names when the file name ends in ".jsonl".
//
// One record per marker per analysed frame, fields in this order:
//   frame       0-based index of the analysed video frame
//   time        seconds
//   marker      the marker's name in the content set (its pattern file when
//               the content set gives it none)
//   valid       1 when the marker was found in that frame, else 0
//   confidence  0..1
//   x0,y0 .. x3,y3   the corners in pixels, the printed picture's top-left first
//   r00 .. r22, tx,ty,tz   the filtered pose of the marker in the camera frame
//                          (x right, y down, z forward; millimetres)
// A marker not found has no corners or pose: those fields are empty (CSV) or
// null (JSON Lines).
//
// The file is written under a temporary name and renamed when Close
// completes it; records are flushed as they come, so a long batch run can be
// followed while it works.

#include <osg/Matrixd>
#include <osg/Vec2f>

#include <cstdio>
#include <string>

class CPoseExport
{
public:
    /// One marker in one frame.
    struct Record
    {
        long long frame = 0;
        double time = 0.0;
        std::string marker;
        bool valid = false;
        double confidence = 0.0;
        osg::Vec2f corners[4];
        double rotation[3][3] = {};
        double translation[3] = {};
    };

    CPoseExport() = default;
    ~CPoseExport();
    CPoseExport(const CPoseExport&) = delete;
    CPoseExport& operator=(const CPoseExport&) = delete;

    /// Creates the file and writes the header (CSV); false with `error` set
    /// when it cannot be made.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return m_file != nullptr; }
    bool IsJsonLines() const { return m_json; }
    /// False once writing has failed (the file is then dropped at Close).
    bool Write(const Record& record);
    /// Completes the file under its own name; false when it could not be written.
    bool Close();

    /// The camera-frame pose of an OpenGL model-view matrix (x right, y up,
    /// z backwards; row vectors), as rotation and translation.
    static void CameraPose(const osg::Matrixd& modelView, double rotation[3][3], double translation[3]);
    static const char* CsvHeader();

private:
    void WriteCsv(const Record& record);
    void WriteJson(const Record& record);

    std::FILE* m_file = nullptr;
    std::string m_path, m_temporary;
    bool m_json = false;
    bool m_failed = false;
};
