'''A UDisks2 stand-in for the card tests, loaded by python3-dbusmock on a private bus.

It holds the computer's own disk (a system device, never to be offered) and the cards the
test puts in with AddCard: one drive and one block device with a file system each, named
NAME and NAME1 like sdb and sdb1. Filesystem.Mount answers the folder the test gave,
Unmount forgets it, and Drive.PowerOff and Drive.Eject take the card away as the real
service does; RemoveCard pulls a card out unannounced. FailNext makes the next call of a method fail with a UDisks2 error, and Calls
lists the calls of those four methods in the order they came.
'''

import dbus
import dbusmock.mockobject
from dbusmock import MOCK_IFACE

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

DRIVE = 'org.freedesktop.UDisks2.Drive'
BLOCK = 'org.freedesktop.UDisks2.Block'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'
ERROR = 'org.freedesktop.UDisks2.Error.'


def load(mock, parameters):
    mock.failures = {}
    mock.calls = []
    mock.AddObject(MAIN_OBJ + '/Manager', 'org.freedesktop.UDisks2.Manager',
                   {'Version': dbus.String('2.9.4')}, [])
    add_card(mock, 'sda', {'label': 'rootfs', 'size': dbus.UInt64(256_000_000_000), 'bus': '',
                           'removable': False, 'system': True, 'folder': '/'})


def paths(name):
    return MAIN_OBJ + '/drives/' + name, MAIN_OBJ + '/block_devices/' + name + '1'


def mount_points(folder):
    points = [dbus.ByteArray(folder.encode() + b'\0')] if folder else []
    return dbus.Array(points, signature='ay')


def objects():
    return dbusmock.mockobject.objects


def record(mock, method, path):
    '''Logs the call and raises the failure set for it, once.'''
    mock.calls.append(method + ' ' + path.rsplit('/', 1)[-1])
    failure = mock.failures.pop(method, None)
    if failure:
        raise dbus.exceptions.DBusException(failure[1], name=ERROR + failure[0])


def take_away(mock, path):
    mock.object_manager_emit_removed(path)
    mock.RemoveObject(path)


def add_card(mock, name, options):
    drive, block = paths(name)
    size = dbus.UInt64(options.get('size', 1_900_000_000))
    mock.AddObject(drive, DRIVE, {
        'Vendor': dbus.String('Generic'),
        'Model': dbus.String('Card reader'),
        'Removable': dbus.Boolean(options.get('removable', True)),
        'MediaRemovable': dbus.Boolean(options.get('removable', True)),
        'Media': dbus.String(options.get('media', '')),
        'ConnectionBus': dbus.String(options.get('bus', 'usb')),
        'CanPowerOff': dbus.Boolean(options.get('canPowerOff', True)),
        'Ejectable': dbus.Boolean(options.get('removable', True)),
        'Size': size,
    }, [])
    device = dbus.ByteArray(b'/dev/' + (name + '1').encode() + b'\0')
    mock.AddObject(block, BLOCK, {
        'Device': device,
        'PreferredDevice': device,
        'Size': size,
        'ReadOnly': dbus.Boolean(False),
        'Drive': dbus.ObjectPath(drive),
        'IdUsage': dbus.String('filesystem'),
        'IdType': dbus.String('vfat'),
        'IdLabel': dbus.String(options.get('label', '')),
        'HintSystem': dbus.Boolean(options.get('system', False)),
        'HintIgnore': dbus.Boolean(False),
    }, [])
    folder = str(options.get('folder', ''))
    mounted = bool(options.get('mounted', False)) or options.get('system', False)
    blocks = objects()[block]
    blocks.AddProperties(FILESYSTEM, {'MountPoints': mount_points(folder if mounted else '')})

    def mount(self, _options):
        record(mock, 'Mount', self.path)
        if self.props[FILESYSTEM]['MountPoints']:
            raise dbus.exceptions.DBusException('already mounted', name=ERROR + 'AlreadyMounted')
        self.UpdateProperties(FILESYSTEM, {'MountPoints': mount_points(folder)})
        return folder

    def unmount(self, _options):
        record(mock, 'Unmount', self.path)
        if not self.props[FILESYSTEM]['MountPoints']:
            raise dbus.exceptions.DBusException('not mounted', name=ERROR + 'NotMounted')
        self.UpdateProperties(FILESYSTEM, {'MountPoints': mount_points('')})

    def power_off(self, _options):
        record(mock, 'PowerOff', self.path)
        take_away(mock, block)
        take_away(mock, drive)

    def eject(self, _options):
        record(mock, 'Eject', self.path)
        take_away(mock, block)

    blocks.AddMethod(FILESYSTEM, 'Mount', 'a{sv}', 's', mount)
    blocks.AddMethod(FILESYSTEM, 'Unmount', 'a{sv}', '', unmount)
    objects()[drive].AddMethod(DRIVE, 'PowerOff', 'a{sv}', '', power_off)
    objects()[drive].AddMethod(DRIVE, 'Eject', 'a{sv}', '', eject)


@dbus.service.method(MOCK_IFACE, in_signature='sa{sv}', out_signature='')
def AddCard(self, name, options):
    '''Puts a card in: options label, size, media, bus, removable, system, canPowerOff,
    folder (what Mount answers) and mounted (already mounted there).'''
    add_card(self, name, options)
    drive, block = paths(name)
    self.object_manager_emit_added(drive)
    self.object_manager_emit_added(block)


@dbus.service.method(MOCK_IFACE, in_signature='s', out_signature='')
def RemoveCard(self, name):
    '''Pulls a card out without ejecting it.'''
    drive, block = paths(name)
    for path in (block, drive):
        if path in objects():
            take_away(self, path)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='')
def Clear(self):
    '''Pulls every card out and forgets the calls and failures, for the next test.'''
    for path in list(objects()):
        if '/drives/' in path and not path.endswith('/sda'):
            RemoveCard(self, path.rsplit('/', 1)[-1])
    self.calls.clear()
    self.failures.clear()


@dbus.service.method(MOCK_IFACE, in_signature='sss', out_signature='')
def FailNext(self, method, error, message):
    '''The next call of method fails with org.freedesktop.UDisks2.Error.<error>.'''
    self.failures[method] = (error, message)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='as')
def Calls(self):
    '''The Mount, Unmount, PowerOff and Eject calls so far, as "Method sdb1".'''
    return dbus.Array(self.calls, signature='s')
