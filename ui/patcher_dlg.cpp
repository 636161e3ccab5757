#include "ui/patcher_dlg.h"

#include "patch/patch_operation.h"
#include "platform/win32/file_dialog.h"
#include "platform/win32/win_app.h"
#include "res/resource_ids.h"
#include "ui/about_dlg.h"
#include "ui/template_engine.h"

namespace {

// Where every link leads until the link table says otherwise.
constexpr char kDefaultUrl[] = "https://tomeshift.example/";

// The About entry of the system menu. Any command whose id shares these upper bits is
// taken as it, since the system keeps the low four bits of a command for itself.
constexpr UINT IDM_ABOUTBOX = 0x0010;

constexpr DWORD kBrowseFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr char kBrowseFilter[] = "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*||";

}  // namespace

BEGIN_MESSAGE_MAP(CPatcherDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_PATCH, OnPatch)
END_MESSAGE_MAP()

CPatcherDlg::CPatcherDlg(CWnd* parent)
    : CDialog(IDD_TOMESHIFT_DIALOG, parent), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)),
      m_strUrl{kDefaultUrl, kDefaultUrl, kDefaultUrl, kDefaultUrl}
{
}

void CPatcherDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_BOOK_PATH, m_strPath); }

BOOL CPatcherDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const HMENU systemMenu = GetSystemMenu(FALSE);
    if (systemMenu != NULL) {
        const CString about = AfxLoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, NULL);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    LoadLinks();

    for (int slot = 0; slot < kLinkCount; ++slot) {
        m_links[slot].SubclassDlgItem(static_cast<UINT>(IDC_LINK_BESTSELLING + slot), this);
        m_links[slot].Init(m_strUrl[slot]);
    }
    return TRUE;
}

void CPatcherDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CPatcherDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    // The +1 rounds an odd difference up before halving; the division truncates toward zero.
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CPatcherDlg::OnQueryDragIcon() { return m_hIcon; }

void CPatcherDlg::OnBrowse()
{
    CFileDialog dialog(FALSE, "exe", NULL, kBrowseFlags, kBrowseFilter, CWnd::FromHandlePermanent(GetParent()));
    if (dialog.DoModal() != IDOK)
        return;
    m_strPath = dialog.GetPathName();
    UpdateData(FALSE);
}

void CPatcherDlg::OnPatch()
{
    UpdateData(TRUE);
    CPatchOperation(m_copier, LoadTemplateEngine()).Run(m_strPath);
}

BOOL CPatcherDlg::WriteTemplate(CString& path)
{
    return CPatchOperation(m_copier, LoadTemplateEngine()).WriteTemplate(path);
}
