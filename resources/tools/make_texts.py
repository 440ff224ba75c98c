#!/usr/bin/python3
"""Writes the three version descriptions and the readme into resources/data/.

The version descriptions are UTF-8 with LF line ends; the readme is GBK with CR LF
between its lines and none after the last, because it is read on the user's Windows PC
next to the package. The readme's two web addresses come from resources/weblinks.txt,
the one file that holds every address of the program.

Run it again after editing weblinks.txt and commit the changed readme.
"""
import argparse
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
RESOURCES = HERE.parent
DATA = RESOURCES / "data"

VERSION_LINES = [
    '<?xml version="1.0" encoding="utf-8"?>',
    "<version>",
    None,  # the capacity's line
    '         <device name="U830 第一屏"/>',
    '   <manufacturer name="     vemol"/>',
    '    <wipe_data value="false"/>',
    "",
    '    <build_time value="20111024.211837"/>',
    "</version>",
]

# The phone reads "128k" and "160k" with a small k but "256K" with a capital one.
CAPACITY_VERSIONS = {"128": "128k", "160": "160k", "256": "256K"}
VERSION_SIZE = 248


def version_text(capacity):
    lines = list(VERSION_LINES)
    lines[2] = '    <software version="     %s"/>' % CAPACITY_VERSIONS[capacity]
    return "".join(line + "\n" for line in lines).encode("utf-8")


def read_weblinks(path):
    links = {}
    for number, line in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        key, sep, url = line.partition("=")
        if not sep or not key or not url:
            sys.exit("%s:%d: expected KEY=URL" % (path, number))
        links[key] = url
    return links


def readme_lines(bin_url, list_url):
    return [
        "本文件名显示的第一屏要求的内部空间版本",
        "",
        "128K 说明要求手机第一屏存储空间为128k；适合大部分人手机。",
        "     以后刷bin时可一用中兴880及酷派8810刷机软件；",
        "160K 说明要求手机第一屏存储空间为160k；",
        "     需要刷过一次我的只刷底层Bin（2012.07.14及后面的版本）。",
        "     以后刷bin时可一用中兴880及酷派8810刷机软件；",
        "256K 说明要求手机第一屏存储空间为256k；",
        "     需要刷过一次我的只刷底层Bin（2012.07.14及后面的版本）。",
        "     以后刷bin时能用酷派8810刷机软件，而不能用u880刷机软件（因为显示不出imei号码及版本）；",
        "     (刷Bin之前换成小规格图片后，就可以用中兴880刷机软件了。)",
        "",
        "手机内部存储空间大的可以使用小图片，",
        "反之不行，那样会只显示部分图片。",
        "",
        "备注：使用了256k版本的图片后，以后刷Bin的时候，u880的刷机软件不能用，你可以使用酷派8810的刷机软件；",
        "      但是只要你能在刷Bin之前换了其他小版本的图片，就能使用u880的刷机软件；",
        "",
        "=" * 26,
        "",
        "大部分人的手机内部存储开机第一屏图片的空间分配了128K；",
        "最大可使用256K，需要刷一次只刷底层的bin，修改下此参数；",
        "极少数人的13k空间的手机，只能显示图片的 13k部分，更需要刷这个个只刷底层的bin",
        "否则只能使用原版G3这样及简单的图片。",
        "",
        "这个bin，不会破坏手机已有软件系统",
        "",
        "该bin下载地址：",
        bin_url,
        "",
        "我的所有资源：",
        list_url,
    ]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", type=pathlib.Path, default=DATA, help="output folder")
    out = parser.parse_args().out
    out.mkdir(exist_ok=True)
    for capacity in CAPACITY_VERSIONS:
        text = version_text(capacity)
        if len(text) != VERSION_SIZE:
            sys.exit("version%s.xml: %d bytes, expected %d" % (capacity, len(text), VERSION_SIZE))
        (out / ("version%s.xml" % capacity)).write_bytes(text)

    links = read_weblinks(RESOURCES / "weblinks.txt")
    lines = readme_lines(links["README_BIN_URL"], links["README_LIST_URL"])
    assert len(lines) == 32
    readme = "\r\n".join(lines).encode("gbk")
    (out / "readme.txt").write_bytes(readme)
    print("readme.txt: %d bytes" % len(readme))


if __name__ == "__main__":
    main()
