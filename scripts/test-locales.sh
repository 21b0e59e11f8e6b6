#!/usr/bin/env bash
# Generates the locales the encoding tests switch between (a GBK and a UTF-8
# Chinese locale), when they are missing. Needs root or sudo.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
have() { locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/-//g' | grep -qx "$1"; }
have zh_cn.gbk || $SUDO localedef -i zh_CN -f GBK zh_CN.GBK
have zh_cn.utf8 || $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
