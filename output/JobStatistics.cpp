// The job statistics log: one small text file per output in the "Nvlogging" folder.
#include <cstdio>

#include "driver/CEpsonRPhotoBase.h"
#include "host/Os.h"
#include "host/Platform.h"

void CEpsonRPhotoBase::WriteJobStatistics(int bSuccess)
{
    const CString method = m_pPrintEnv ? m_pPrintEnv->GetString(PrEnv_PrintMethod) : CString();
    CString text;
    if (m_bTraceRealTime) {
        CString line;
        line.Format("PRINT %s %s!!\n", GetJobName().GetString(), bSuccess ? "SUCCESSFUL" : "UNSUCCESSFUL");
        text += line;
        line.Format("Print total time = %1.2f sec\n", static_cast<double>(m_dwTotalTime) / 1000.0);
        text += line;
        line.Format("Printer driver processing time = %1.2f sec\n", static_cast<double>(m_dwDriverTime) / 1000.0);
        text += line;
        line.Format("Port driver processing time = %1.2f sec\n", static_cast<double>(m_dwPortTime) / 1000.0);
        text += line;
        line.Format("Pixel selection processing time = %1.2f sec\n", static_cast<double>(m_dwSelectTime) / 1000.0);
        text += line;
        line.Format("Pixel loading processing time = %1.2f sec\n", static_cast<double>(m_dwLoadTime) / 1000.0);
        text += line;
        line.Format("%d Advanced rows\n", m_nAdvancedRows);
        text += line;
        line.Format("Bits per pixels = %d\n", 8 / m_nPixelsPerByte);
        text += line;
    }
    if (text.IsEmpty()) return;

    const std::string when = CtimeText(os::Now());
    CString name;
    name.Format("%s_%s_%s_%s.txt", GetJobName().GetString(), method.GetString(), m_strJobInfo.GetString(),
                when.c_str());
    // "/" is a separator on this platform too: the name stays in the folder; the rest are not
    // allowed in Windows file names.
    for (const char* forbidden : {":", "\\", "/", "*", "?", "\"", "<", ">", "|"})
        name.Replace(forbidden, "_");
    name.Replace("\n", "");
    name.Replace("\r", "");
    const CString path = BuildUserDataPathName((CString("Nvlogging\\") + name).GetString());

    // Written beside the final name and renamed, so a reader never sees half a log; the
    // temporary name is exactly as long as the final one (".txt" becomes ".tmp"), so any name
    // the folder accepts can be written.
    const CString temp = path.Left(path.GetLength() - 4) + ".tmp";
    std::FILE* f = std::fopen(temp.GetString(), "wb");
    if (!f) return;
    const bool written = std::fwrite(text.GetString(), 1, static_cast<size_t>(text.GetLength()), f) ==
                         static_cast<size_t>(text.GetLength());
    if (std::fclose(f) != 0 || !written || !os::RenameReplacing(temp.GetString(), path.GetString()))
        std::remove(temp.GetString());
}
