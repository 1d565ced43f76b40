<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>--access-code takes ten printable ASCII characters.</source>
        <translation>--access-code 须为十个可打印 ASCII 字符。</translation>
    </message>
    <message>
        <source>note: %1: [radio] accessCode is not ten printable ASCII characters; the built-in code is used.</source>
        <translation>注意：%1：[radio] accessCode 不是十个可打印 ASCII 字符，改用内置访问码。</translation>
    </message>
    <message>
        <source>Cannot open %1: no such port is present (qv4120-cal ports lists them).</source>
        <translation>无法打开 %1：没有这个端口（qv4120-cal ports 列出现有端口）。</translation>
    </message>
    <message>
        <source>Write %1 into the radio on %2? [y/N] </source>
        <translation>将 %1 写入 %2 上的电台？[y/N] </translation>
    </message>
    <message>
        <source>no serial port is present.</source>
        <translation>没有串口。</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Writing block %1 of %2</source>
        <translation>正在写入第 %1 块，共 %2 块</translation>
    </message>
    <message>
        <source>Reading block %1 of %2</source>
        <translation>正在读取第 %1 块，共 %2 块</translation>
    </message>
    <message>
        <source>1 field changed</source>
        <translation>已更改 1 个字段</translation>
    </message>
    <message>
        <source>%1 fields changed</source>
        <translation>已更改 %1 个字段</translation>
    </message>
    <message>
        <source>Radio %1, version %2</source>
        <translation>电台 %1，版本 %2</translation>
    </message>
    <message>
        <source>No port</source>
        <translation>无端口</translation>
    </message>
    <message>
        <source>Settings file: %1</source>
        <translation>设置文件：%1</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>传输</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>电台</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>更改</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
</context>
<context>
    <name>Wording</name>
    <message>
        <source>Nothing was written to the radio.</source>
        <translation>没有向电台写入任何数据。</translation>
    </message>
    <message>
        <source>The data file was not saved.</source>
        <translation>数据文件未保存。</translation>
    </message>
    <message>
        <source>Cannot Open Communication Port.</source>
        <translation>无法打开通信端口。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Communication Error!</source>
        <translation>通信错误！</translation>
    </message>
    <message>
        <source>The radio on %1 did not answer.</source>
        <translation>%1 上的电台没有应答。</translation>
    </message>
    <message>
        <source>comm error</source>
        <translation>通信错误</translation>
    </message>
    <message>
        <source>%1 could not be opened again: %2</source>
        <translation>无法再次打开 %1：%2</translation>
    </message>
    <message>
        <source>The connection to the radio was lost: the cable was unplugged or the port went away. The transfer has stopped.</source>
        <translation>与电台的连接已断开：电缆被拔出或端口已消失。传输已停止。</translation>
    </message>
    <message>
        <source>The port was %1.</source>
        <translation>端口为 %1。</translation>
    </message>
    <message>
        <source>Model Type or Frequency Range Error!</source>
        <translation>机型或频段错误!</translation>
    </message>
    <message>
        <source>The radio on %1 is %2, not %3.</source>
        <translation>%1 上的电台是 %2，而不是 %3。</translation>
    </message>
    <message>
        <source>The radio&apos;s memory could not be kept as a backup: %1</source>
        <translation>无法将电台的存储内容保存为备份：%1</translation>
    </message>
    <message>
        <source>The write stopped at block %1 of 8: the radio may hold part of the new data. Write again.</source>
        <translation>写入在第 %1 块（共 8 块）处中止：电台可能只保存了部分新数据。请重新写入。</translation>
    </message>
    <message>
        <source>No terminal to confirm the write on: add --yes.</source>
        <translation>没有可确认写入的终端：请加 --yes。</translation>
    </message>
    <message>
        <source>The data file was not loaded.</source>
        <translation>数据文件未载入。</translation>
    </message>
    <message>
        <source>The settings file was not read.</source>
        <translation>设置文件未能读取。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: name a data file (.bin) or a calibration document (.json).</source>
        <translation>“%1”：请指定数据文件（.bin）或校准文档（.json）。</translation>
    </message>
    <message>
        <source>Read Complete!</source>
        <translation>读出完成！</translation>
    </message>
    <message>
        <source>Write Complete!</source>
        <translation>写入完成！</translation>
    </message>
    <message>
        <source>Backup kept: %1</source>
        <translation>已保存备份：%1</translation>
    </message>
    <message>
        <source>No backup kept: %1</source>
        <translation>未保存备份：%1</translation>
    </message>
    <message>
        <source>the radio</source>
        <translation>电台</translation>
    </message>
    <message>
        <source>%1 (version %2)</source>
        <translation>%1（版本 %2）</translation>
    </message>
    <message>
        <source>Read %1 on %2 into %3.</source>
        <translation>已将 %2 上的 %1 读入 %3。</translation>
    </message>
    <message>
        <source>Wrote %1 into %2 on %3.</source>
        <translation>已将 %1 写入 %3 上的 %2。</translation>
    </message>
    <message>
        <source>The radio keeps its own %1: %2 (the file holds %3).</source>
        <translation>电台保留其自身的 %1：%2（文件中为 %3）。</translation>
    </message>
    <message>
        <source>%1 on %2 holds every value that a write of %3 sends.</source>
        <translation>%2 上的 %1 保存着写入 %3 时发送的每个值。</translation>
    </message>
    <message>
        <source>1 value in %1 differs from %2 on %3.</source>
        <translation>%1 中有 1 个值与 %3 上的 %2 不同。</translation>
    </message>
    <message>
        <source>%1 values in %2 differ from %3 on %4.</source>
        <translation>%2 中有 %1 个值与 %4 上的 %3 不同。</translation>
    </message>
    <message>
        <source>The radio is storing the data: %1 s</source>
        <translation>电台正在存储数据：%1 秒</translation>
    </message>
    <message>
        <source>The radio rests: %1 s</source>
        <translation>电台正在休息：%1 秒</translation>
    </message>
    <message>
        <source>No port given.</source>
        <translation>未指定端口。</translation>
    </message>
    <message>
        <source>Not every program could be checked for holding the port in time: if another program uses it, the transfer may fail.</source>
        <translation>未能及时检查所有程序是否占用该端口：如有其他程序在使用它，传输可能失败。</translation>
    </message>
    <message>
        <source>The radio&apos;s answers for block 0x%1 differ: the line is noisy.</source>
        <translation>电台对数据块 0x%1 的应答不一致：线路有干扰。</translation>
    </message>
    <message>
        <source>Every block was written, but what the radio keeps could not be read back: read it to check.</source>
        <translation>所有数据块均已写入，但无法读回电台保存的内容：请读出电台以核对。</translation>
    </message>
    <message>
        <source>%1: written %2, the radio holds %3</source>
        <translation>%1：写入 %2，电台保存 %3</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>另有 %n 项</numerusform>
        </translation>
    </message>
    <message>
        <source>The radio&apos;s memory before the write is kept in %1.</source>
        <translation>写入前的电台存储内容保存在 %1。</translation>
    </message>
    <message>
        <source>The radio did not keep what was written.</source>
        <translation>电台未保存所写入的数据。</translation>
    </message>
    <message>
        <source>Checking what the radio keeps…</source>
        <translation>正在核对电台保存的数据…</translation>
    </message>
    <message>
        <source>What the radio keeps was not checked: the write was not read back.</source>
        <translation>未核对电台保存的数据：写入后未读回。</translation>
    </message>
    <message>
        <source>Log of this transfer, for support: %1</source>
        <translation>本次传输的日志（供技术支持）：%1</translation>
    </message>
</context>
<context>
    <name>qv::DataFileDialog</name>
    <message>
        <source>data file (*.bin);;calibration document (*.json)</source>
        <translation>数据文件 (*.bin);;校准文档 (*.json)</translation>
    </message>
    <message>
        <source>data file (*.bin)</source>
        <translation>数据文件 (*.bin)</translation>
    </message>
</context>
<context>
    <name>qv::FieldEditor</name>
    <message>
        <source>***After entering ASQ and Squelch levels (N)
and writing these to the radio, the
radio will display level N+1.</source>
        <translation>***输入 ASQ 和静噪电平 (N)
并写入电台后，
电台将显示电平 N+1。</translation>
    </message>
    <message>
        <source>0 to %1</source>
        <translation>0 至 %1</translation>
    </message>
    <message>
        <source>%1, changed</source>
        <translation>%1，已更改</translation>
    </message>
    <message>
        <source>Calibration fields</source>
        <translation>校准字段</translation>
    </message>
</context>
<context>
    <name>qv::Fields</name>
    <message>
        <source>The field %1 &quot;%2&quot; on page &quot;%3&quot; is empty.</source>
        <translation>页面“%3”上的字段 %1“%2”为空。</translation>
    </message>
    <message>
        <source>The field %1 &quot;%2&quot; on page &quot;%3&quot; holds &quot;%4&quot;, which is not a number.</source>
        <translation>页面“%3”上的字段 %1“%2”的内容“%4”不是数字。</translation>
    </message>
    <message>
        <source>The field %1 &quot;%2&quot; on page &quot;%3&quot; holds %4, outside its range 0 to %5.</source>
        <translation>页面“%3”上的字段 %1“%2”的值 %4 超出范围 0 至 %5。</translation>
    </message>
</context>
<context>
    <name>qv::MainWindow</name>
    <message>
        <source>&amp;Comm Select：</source>
        <translation>串口选择(&amp;C)：</translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation>读出(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>写入(&amp;W)</translation>
    </message>
    <message>
        <source>Save &amp;Data</source>
        <translation>保存数据(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Load Data</source>
        <translation>载入数据(&amp;L)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Please READ and SAVE (backup) the calibration data before making any changes.</source>
        <translation>在进行任何更改之前，请先读出并保存（备份）校准数据。</translation>
    </message>
    <message>
        <source>Ports present</source>
        <translation>现有串口</translation>
    </message>
</context>
<context>
    <name>qv::Pages</name>
    <message>
        <source>FREQ</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>OTHER</source>
        <translation>其他</translation>
    </message>
</context>
<context>
    <name>qv::SerialPortAdapter</name>
    <message>
        <source>No such device: is the cable plugged in?</source>
        <translation>没有这个设备：电缆插好了吗？</translation>
    </message>
    <message>
        <source>The port is busy: another program holds it.</source>
        <translation>端口忙：另一个程序正在占用它。</translation>
    </message>
    <message>
        <source>Permission denied: add yourself to the dialout group and log in again.</source>
        <translation>权限不足：请将自己加入 dialout 组，然后重新登录。</translation>
    </message>
    <message>
        <source>The port is busy: another program holds it; %1 (process %2) runs and often takes serial adapters.</source>
        <translation>端口忙：另一个程序正在占用它；%1（进程 %2）正在运行，它常会占用串口适配器。</translation>
    </message>
    <message>
        <source>The port is busy; the programs that hold it:</source>
        <translation>端口忙；占用它的程序：</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1（进程 %2）</translation>
    </message>
    <message>
        <source>and %1 more.</source>
        <translation>另有 %1 个。</translation>
    </message>
</context>
<context>
    <name>qv::SettingsFile</name>
    <message>
        <source>a folder</source>
        <translation>一个文件夹</translation>
    </message>
    <message>
        <source>a named pipe</source>
        <translation>一个命名管道</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>一个设备</translation>
    </message>
    <message>
        <source>a special file</source>
        <translation>一个特殊文件</translation>
    </message>
    <message>
        <source>The settings file %1 is %2, not a regular file: it is not read, and the built-in settings are used.</source>
        <translation>设置文件 %1 是%2，不是普通文件：不读取它，使用内置设置。</translation>
    </message>
</context>
<context>
    <name>qv::SpinButton</name>
    <message>
        <source>Increase %1</source>
        <translation>增加 %1</translation>
    </message>
    <message>
        <source>Decrease %1</source>
        <translation>减少 %1</translation>
    </message>
</context>
<context>
    <name>qv::WindowCommands</name>
    <message>
        <source>READ calibration data from the radio? <byte value="xd"/>
 Continue?</source>
        <translation>从电台读出校准数据？<byte value="xd"/>
 是否继续？</translation>
    </message>
    <message>
        <source>WRITE new calibration data to the radio? <byte value="xd"/>
 ARE YOU SURE?</source>
        <translation>向电台写入新的校准数据？<byte value="xd"/>
 确定吗？</translation>
    </message>
    <message>
        <source>No Com Port!</source>
        <translation>没有串口！</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>已保存 %1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Loaded %1</source>
        <translation>已载入 %1</translation>
    </message>
    <message>
        <source>A write is in progress. Closing now can leave the radio half written. Close anyway?</source>
        <translation>正在写入电台。现在关闭可能使电台只写入了一部分。仍要关闭吗？</translation>
    </message>
</context>
</TS>
