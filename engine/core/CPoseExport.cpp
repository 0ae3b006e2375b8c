#include "CPoseExport.h"

#include "CAtomicFileWriter.h"

#include <cerrno>
#include <cstring>

namespace
{
bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A marker name as a JSON string (names are words, but quotes and control
// characters must not break the line).
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (static_cast<unsigned char>(c) < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        }
        else
            out += c;
    }
    return out + "\"";
}

// A CSV field: quoted only when it holds a comma, a quote or a line break.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}
}

CPoseExport::~CPoseExport()
{
    Close();
}

const char* CPoseExport::CsvHeader()
{
    return "frame,time,marker,valid,confidence,x0,y0,x1,y1,x2,y2,x3,y3,"
           "r00,r01,r02,r10,r11,r12,r20,r21,r22,tx,ty,tz";
}

bool CPoseExport::Open(const std::string& path, std::string& error)
{
    Close();
    m_path = path;
    m_temporary = CAtomicFileWriter::TemporaryPath(path);
    m_json = endsWith(path, ".jsonl");
    m_failed = false;
    m_file = std::fopen(m_temporary.c_str(), "wb");
    if (!m_file)
    {
        error = "cannot create " + m_temporary + ": " + std::strerror(errno);
        return false;
    }
    if (!m_json) std::fprintf(m_file, "%s\n", CsvHeader());
    return true;
}

void CPoseExport::CameraPose(const osg::Matrixd& m, double rotation[3][3], double translation[3])
{
    // OpenGL camera: x right, y up, z backwards; ours: y down, z forward.
    // Row vectors: the model-view's rotation is the transpose of m's 3 x 3.
    const double flip[3] = {1.0, -1.0, -1.0};
    for (int i = 0; i < 3; ++i)
    {
        for (int j = 0; j < 3; ++j) rotation[i][j] = flip[i] * m(j, i);
        translation[i] = flip[i] * m(3, i);
    }
}

void CPoseExport::WriteCsv(const Record& r)
{
    std::fprintf(m_file, "%lld,%.6f,%s,%d,%.6f", r.frame, r.time, csvField(r.marker).c_str(), r.valid ? 1 : 0,
                 r.confidence);
    if (!r.valid)
    {
        std::fputs(",,,,,,,,,,,,,,,,,,,,\n", m_file);
        return;
    }
    for (const osg::Vec2f& c : r.corners) std::fprintf(m_file, ",%.3f,%.3f", c.x(), c.y());
    for (const auto& row : r.rotation) std::fprintf(m_file, ",%.9f,%.9f,%.9f", row[0], row[1], row[2]);
    std::fprintf(m_file, ",%.4f,%.4f,%.4f\n", r.translation[0], r.translation[1], r.translation[2]);
}

void CPoseExport::WriteJson(const Record& r)
{
    std::fprintf(m_file, "{\"frame\":%lld,\"time\":%.6f,\"marker\":%s,\"valid\":%d,\"confidence\":%.6f", r.frame,
                 r.time, jsonString(r.marker).c_str(), r.valid ? 1 : 0, r.confidence);
    static const char* const corners[8] = {"x0", "y0", "x1", "y1", "x2", "y2", "x3", "y3"};
    static const char* const pose[12] = {"r00", "r01", "r02", "r10", "r11", "r12",
                                         "r20", "r21", "r22", "tx",  "ty",  "tz"};
    for (int i = 0; i < 8; ++i)
    {
        if (r.valid)
            std::fprintf(m_file, ",\"%s\":%.3f", corners[i], r.corners[i / 2][i % 2]);
        else
            std::fprintf(m_file, ",\"%s\":null", corners[i]);
    }
    for (int i = 0; i < 12; ++i)
    {
        const double value = i < 9 ? r.rotation[i / 3][i % 3] : r.translation[i - 9];
        if (r.valid)
            std::fprintf(m_file, ",\"%s\":%.9g", pose[i], value);
        else
            std::fprintf(m_file, ",\"%s\":null", pose[i]);
    }
    std::fputs("}\n", m_file);
}

bool CPoseExport::Write(const Record& record)
{
    if (!m_file || m_failed) return false;
    if (m_json)
        WriteJson(record);
    else
        WriteCsv(record);
    if (std::fflush(m_file) != 0 || std::ferror(m_file)) m_failed = true;
    return !m_failed;
}

bool CPoseExport::Close()
{
    if (!m_file) return false;
    bool ok = !m_failed && std::fflush(m_file) == 0 && !std::ferror(m_file);
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok && std::rename(m_temporary.c_str(), m_path.c_str()) == 0) return true;
    std::remove(m_temporary.c_str());
    return false;
}
