#!/usr/bin/python
# -*- coding: utf-8 -*-
# Brings a cash register to a settings file through kkm-configurator-cli.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: kkm_config
short_description: Configure a KKM cash register from a .sav settings file
description:
  - Runs C(kkm-configurator-cli apply) on the host the register is plugged into.
  - Only the tables (and goods records) that differ from the register are written; the register's
    configuration is backed up first and read back afterwards.
  - In check mode the register is only read and compared.
options:
  port:
    description: The device library's port the register is on.
    type: str
    required: true
  speed:
    description: The port's speed in baud.
    type: int
    default: 115200
  src:
    description: The settings file (.sav, Windows-1251) on the managed host.
    type: path
    required: true
  goods:
    description: A goods CSV file, as the configurator exports it, whose records are written.
    type: path
  logo:
    description:
      - A picture (JPEG or BMP) to upload as the receipt logo, prepared as the configurator's window
        prepares it on opening. The register's logo cannot be read back, so it is uploaded unless it
        is the one last uploaded from this host with the same backup folder.
    type: path
  backup_dir:
    description: Where the backup of the register goes; the user's data folder when not given.
    type: path
  verify:
    description: Read the written tables back and fail on any value the register did not keep.
    type: bool
    default: true
  device_library:
    description: The device library to use instead of the one installed with the configurator.
    type: path
  executable:
    description: The command line program; found on PATH when not given.
    type: path
"""

EXAMPLES = r"""
- name: Configure the register
  kkm.configurator.kkm_config:
    port: COM1
    src: /var/lib/kkm/shop.sav
"""

RETURN = r"""
changed:
  description: Whether the register differed from the file (and, outside check mode, was written).
  type: bool
diff:
  description: The differences, as before (the register) and after (the file) texts.
  type: dict
  returned: with --diff
backup_file:
  description: The backup of the register's configuration taken before writing.
  type: str
verified:
  description: Whether the written tables were read back and matched.
  type: bool
mismatches:
  description: The values the register holds after the write other than those written.
  type: list
"""

import json

from ansible.module_utils.basic import AnsibleModule


def field_name(entry):
    return "%s/%s[%s]" % (entry.get("table"), entry.get("field"), entry.get("row"))


def ansible_diff(entries):
    before = ["%s = %s" % (field_name(e), e.get("before")) for e in entries]
    after = ["%s = %s" % (field_name(e), e.get("after")) for e in entries]
    return {
        "before_header": "register",
        "after_header": "settings file",
        "before": "\n".join(before) + ("\n" if before else ""),
        "after": "\n".join(after) + ("\n" if after else ""),
    }


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type="str", required=True),
            speed=dict(type="int", default=115200),
            src=dict(type="path", required=True),
            goods=dict(type="path"),
            logo=dict(type="path"),
            backup_dir=dict(type="path"),
            verify=dict(type="bool", default=True),
            device_library=dict(type="path"),
            executable=dict(type="path"),
        ),
        supports_check_mode=True,
    )
    params = module.params
    program = params["executable"] or module.get_bin_path("kkm-configurator-cli", required=True)
    command = [program, "apply", params["src"], "--port", params["port"], "--speed", str(params["speed"]), "--json"]
    if params["goods"]:
        command += ["--goods", params["goods"]]
    if params["logo"]:
        command += ["--logo", params["logo"]]
    if params["backup_dir"]:
        command += ["--backup-dir", params["backup_dir"]]
    if not params["verify"]:
        command.append("--no-verify")
    if params["device_library"]:
        command += ["--device-library", params["device_library"]]
    if module.check_mode:
        command.append("--check")

    rc, out, err = module.run_command(command)
    try:
        report = json.loads(out)
    except ValueError:
        module.fail_json(msg="kkm-configurator-cli gave no report: %s" % (err or out).strip(), rc=rc)

    result = dict(
        changed=bool(report.get("changed")),
        backup_file=report.get("backup"),
        verified=bool(report.get("verified")),
        mismatches=report.get("mismatches", []),
        msg=report.get("msg", ""),
    )
    if module._diff:
        result["diff"] = ansible_diff(report.get("diff", []))
    # 0: nothing to change; 2: changed (or, in check mode, would change).
    if rc not in (0, 2):
        module.fail_json(rc=rc, stderr=err, **result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
