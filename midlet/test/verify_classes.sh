#!/bin/sh
# Runs the reference CLDC class verifier of the phone VM over the embedded midlet classes, the
# check a phone makes when it loads the app. Skipped (exit 77) where the phone VM is missing.
# Usage: verify_classes.sh PHONE_VM_FOLDER CLASS_FOLDER
if [ ! -x "$1/verify-classes.sh" ]; then
  echo "SKIP no phone VM in $1 (../shared/tools/phone-vm beside the checkout): classes not verified"
  exit 77
fi
exec "$1/verify-classes.sh" "$2"
