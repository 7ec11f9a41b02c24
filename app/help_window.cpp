// The help window (Form5): its text.
#include "app/help_window.h"

namespace app {
namespace {

const std::vector<look::ControlLayout> kControls = {
    {"Memo1", 300, look::Kind::kMemo, "", 0, 0, 521, 401, "", "", 0, true, true, nullptr, ""},
};

// Sizeable: the outer size is 529 x 428 on the classic frame metrics.
const look::WindowLayout kForm5 = {"Form5", "简要说明", 167, 82, 521, 401, &look::kSansSerif11, &kControls, nullptr};

}  // namespace

const look::WindowLayout& TForm5::Layout() { return kForm5; }

const char* TForm5::Text() {
  return "一、无盘WIN98 (SE)服务器 PXE 设置方法：\r\n"
         "\r\n"
         "1. 安装 Windows NT 4.0 Server，最好安装为主域控制器。\r\n"
         "\r\n"
         "2. 必须安装 IPX/SPX 和 TCP/IP 协议，建议同时安装 NetBEUI 协议。\r\n"
         "\r\n"
         "3. 必须安装 Microsoft DHCP 服务。\r\n"
         "\r\n"
         "4. 安装 NT 的补丁 Service Pack 4 或更高版本，建议安装 Service Pack 6。\r\n"
         "\r\n"
         "5. 安装显示卡和声卡的 NT 驱动程序。\r\n"
         "\r\n"
         "6. 在 DHCP 管理器中配置 DHCP：新建一个作用域，起始地址、结束地址和子网掩码"
         "按服务器的地址和工作站的数目设定（例如服务器为 192.168.0.1，起始地址 192.168.0.2，"
         "结束地址 192.168.0.200，子网掩码 255.255.255.0），租约期限设为无限制；"
         "再定义一个新的默认选项，名称为 classID，数据类型为字符串，识别码为 60；"
         "然后在全局选项中添加 060classID，字符串值为 PXEclient。\r\n"
         "\r\n"
         "7. 按本程序的“生成用户及目录”按钮，添加用户和用户目录。\r\n"
         "\r\n"
         "8. 安装服务器软件（按 PXE 页上的“安装 PXE”按钮安装 PXE-PDK）。\r\n"
         "\r\n"
         "9. 配置服务器软件：在服务器的 proxyDHCP Server 下打开 Clients Boot Menu，"
         "选择 X86PC(UNDI)，把 DOSUNDI 一项上移到第一位；在 proxyDHCP 服务器的配置中"
         "把最后一项客户选项的值 10 改为 0；在启动服务器发现列表中选择 3 DOSUNDI，"
         "输入服务器的 IP 地址并加入发现列表。\r\n"
         "\r\n"
         "10. 生成镜像文件（按“生成镜像文件”按钮）。如果选中“网卡自动注册”，"
         "镜像会检测新网卡的 MAC 地址并把它写入工作站信息文件 netnames.db，"
         "因此用户必须对该文件有写权限。\r\n"
         "\r\n"
         "11. 用随附的客户端上传软件上传工作站的 Windows。\r\n"
         "\r\n"
         "\r\n"
         "二、无盘WIN98 (SE)服务器 RPL 设置方法：\r\n"
         "\r\n"
         "RPL 方式不需要 PXE，也不需要 Microsoft DHCP 服务。\r\n"
         "\r\n"
         "1. 在“服务”中添加远程启动服务，在“协议”中添加 DLC 协议。\r\n"
         "\r\n"
         "2. 启动远程启动管理器（远程启动服务已经运行的除外）。\r\n"
         "\r\n"
         "3. 运行本程序，选择网卡类型，然后按“检测”。\r\n"
         "\r\n"
         "4. 对于 RTL8139 或 RTL8029 网卡，程序会给出网卡地址的前六位，"
         "如果您的网卡与此不同请改正后确定；网卡随即注册，并启动远程启动管理器。\r\n"
         "\r\n"
         "5. 对于其他网卡，程序先询问其 NDIS 驱动程序的路径，再询问网卡地址的前六位。\r\n"
         "\r\n"
         "6. 配置完成后按“安装”，安装 RPL 启动所需的文件。\r\n"
         "\r\n"
         "7. 用随附的客户端工具上传工作站的 Windows。\r\n"
         "\r\n"
         "8. 拆下工作站的硬盘，选择 RPL 启动，并在服务器上打开远程启动管理器。\r\n"
         "\r\n"
         "9. 在远程启动管理器中，按工作站报告的网卡地址给每台工作站起一个任意的名字。\r\n"
         "\r\n"
         "10. 工作站自动注册功能可以自动注册新网卡，但必须在其他设置都完成之后才能使用。\r\n"
         "\r\n"
         "RPL 的设置就这么多，请您试一试吧！\r\n"
         "\r\n"
         "--------------------THE END--------------------------\r\n"
         "\r\n"
         "本说明写得比较仓促，仅供参考。如发现错误，请告诉作者，谢谢！\r\n"
         "\r\n"
         "作者：morva    联系：请通过随软件附带的联系方式与作者联系。\r\n"
         "感谢所有参与测试的朋友。\r\n";
}

}  // namespace app
