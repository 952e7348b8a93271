#!/bin/sh
# Vovuv Izar, the folder lock of Ovlix. Ovlix opens this file once the
# program password has been given; it starts the lock tool that lies in the
# program folder, one level up. Arguments are passed on:
#   kspass.vbs lock FOLDER | unlock FOLDER | list
here=$(dirname -- "$0")
exec "$here/../ovlix-folderlock" "$@"
